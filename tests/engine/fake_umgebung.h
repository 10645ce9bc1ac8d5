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
    std::map<std::string, Text> dateien;  // the disk
    std::deque<Antwort> antworten;        // the script for every question
    std::set<std::string> schreibfehler;  // paths whose write fails
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

    bool dateiExistiert(const std::string& path) override { return dateien.count(path) == 1; }
    bool kopiereDatei(const std::string& from, const std::string& to, bool overwrite) override {
        log.push_back("kopie " + from + " -> " + to + (overwrite ? " ueberschreiben" : ""));
        if (!dateien.count(from)) return false;
        if (dateien.count(to) && !overwrite) return false;
        dateien[to] = dateien[from];
        return true;
    }
    std::int32_t dateigroesse(const std::string& path) override {
        const auto it = dateien.find(path);
        return it == dateien.end() ? -1 : static_cast<std::int32_t>(it->second.size());
    }
    void schreibeDatei(const std::string& path, const Text& text) override {
        log.push_back("schreibe " + path);
        if (schreibfehler.count(path)) throw DateiFehler("Fehler beim Schreiben von " + path);
        dateien[path] = text;
    }

    void optimierungAnzeigen() override { log.push_back("anzeigen"); }
    void dokumentSpeichernBatch() override {
        log.push_back("speichern " + datei);
        if (speichernSchlaegtFehl) throw DateiFehler("Fehler beim Speichern von " + datei);
        dateien[datei] = editor;
    }
    void quelltextSeiteZeigen() override { log.push_back("seite"); }
};

}  // namespace quintaro::test
