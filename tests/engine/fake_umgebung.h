// A scripted stand-in for the window: records every call of a run in order, keeps files in memory
// and answers questions from a script.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <deque>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "common/speicher_dateien.h"
#include "engine/optionen.h"
#include "engine/umgebung.h"

namespace quintaro::test {

class FakeUmgebung : public Umgebung {
  public:
    // What the run sees.
    Text editor;
    OptionSet optionen;
    Ersetzungstabelle tabelle;
    std::string datei;
    SpeicherDateien platte;         // the disk; its writes and copies go to the log
    std::deque<Antwort> antworten;  // the script for every question
    bool speichernSchlaegtFehl = false;

    // What the run did.
    std::vector<std::string> log;
    std::vector<Text> editorBeiFrage;  // the editor text at each question, in order
    std::vector<Text> editorBeiMeldung;
    bool beschaeftigt = false;
    bool geaendert = false;
    std::string optimiertGroesse = "?";
    std::string seitenTitel = "?";
    std::string vorschaudatei;

    FakeUmgebung() {
        // Only the options a test turns on.
        for (int i = 0; i < kOptionCount; ++i) optionen.set(i, false);
    }

    void ein(std::initializer_list<int> indices) {
        for (int i : indices) optionen.set(i, true);
    }

    Text quelltext() override { return editor; }
    void setzeQuelltext(const Text& text) override { editor = text; }
    bool option(int index) override { return optionen[index]; }
    const Ersetzungstabelle& ersetzungstabelle() override { return tabelle; }

    Antwort frage(const std::string& text, Knoepfe knoepfe) override {
        log.push_back((knoepfe == Knoepfe::JaNein ? "frage[JN] " : "frage[JNA] ") + text);
        editorBeiFrage.push_back(editor);
        if (antworten.empty()) {
            ADD_FAILURE() << "unscripted question: " << text;
            return knoepfe == Knoepfe::JaNein ? Antwort::Nein : Antwort::Abbrechen;
        }
        const Antwort a = antworten.front();
        antworten.pop_front();
        return a;
    }
    void meldung(const std::string& text) override {
        log.push_back("meldung " + text);
        editorBeiMeldung.push_back(editor);
    }

    void setzeBeschaeftigt(bool busy) override {
        beschaeftigt = busy;
        log.push_back(busy ? "busy" : "normal");
    }
    void setzeOptimiertGroesse(const std::string& caption) override {
        optimiertGroesse = caption;
        log.push_back("groesse " + caption);
    }
    void setzeSeitenTitel(const std::string& caption) override {
        seitenTitel = caption;
        log.push_back("titel " + caption);
    }
    void setzeBearbeitungsstatus(bool g) override {
        geaendert = g;
        log.push_back(g ? "bearbeitung" : "unveraendert");
    }
    std::string aktuelleDatei() override { return datei; }
    void setzeAktuelleDatei(const std::string& path) override {
        datei = path;
        log.push_back("datei " + path);
    }
    void setzeVorschaudatei(const std::string& path) override {
        vorschaudatei = path;
        log.push_back("vorschaudatei " + path);
    }

    Dateien& dateien() override {
        platte.log = &log;  // this copy's log
        return platte;
    }

    void optimierungAnzeigen() override { log.push_back("anzeigen"); }
    void dokumentSpeichernBatch() override {
        log.push_back("speichern " + datei);
        if (speichernSchlaegtFehl) throw DateiFehler("Fehler beim Speichern von " + datei);
        platte.dateien[datei] = editor;
    }
    void quelltextSeiteZeigen() override { log.push_back("seite"); }
};

}  // namespace quintaro::test
