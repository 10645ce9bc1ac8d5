// Answers a run's questions from a script, like a user at the window: records each question and
// the text on the screen with it (brought up to date whenever the run says it changed).
#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <utility>
#include <vector>

#include "engine/optimierung.h"

namespace quintaro::test {

class SkriptFragen : public Fragen {
  public:
    std::deque<Antwort> antworten;
    std::vector<std::string> gestellt;
    std::vector<Text> gezeigt;                     // the text on the screen at each question
    std::vector<std::vector<Passbericht>> bisher;  // the passes reported at each question
    Text anzeige;

    explicit SkriptFragen(Text start = {}) : anzeige(std::move(start)) {}

    Antwort frage(const std::string& text, const Zwischenstand& stand) override {
        if (stand.geaendert()) anzeige = stand.text();
        gestellt.push_back(text);
        gezeigt.push_back(anzeige);
        bisher.push_back(stand.bisher());
        if (antworten.empty()) {
            ADD_FAILURE() << "unscripted question: " << text;
            return Antwort::Abbrechen;
        }
        const Antwort a = antworten.front();
        antworten.pop_front();
        return a;
    }
};

}  // namespace quintaro::test
