// Files kept in memory behind the run's file interface, with writes that can be made to fail and
// an optional log of copies and writes.
#pragma once

#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "document/dateien.h"
#include "engine/kapazitaet.h"

namespace quintaro::test {

class SpeicherDateien : public Dateien {
  public:
    std::map<std::string, Text> dateien;
    std::set<std::string> gesperrt;  // writing these fails
    std::function<void()> beimSchreiben;
    std::vector<std::string>* log = nullptr;  // "kopie A -> B [ueberschreiben]", "schreibe P"

    Text lesen(const std::string& pfad, std::size_t kapazitaet) override {
        const auto it = dateien.find(pfad);
        if (it == dateien.end()) {
            throw DateiFehler("Datei " + pfad +
                              " kann nicht geöffnet werden. Datei oder Verzeichnis nicht gefunden");
        }
        Text text = umbruecheVereinheitlichen(it->second);
        if (text.size() > kapazitaet) throw DateiFehler(std::string(kMemoKapazitaetFehler));
        return text;
    }
    void schreiben(const std::string& pfad, const Text& inhalt) override {
        protokoll("schreibe " + pfad);
        if (beimSchreiben) beimSchreiben();
        if (pfad.empty() || gesperrt.count(pfad) != 0) {
            throw DateiFehler("Datei \"" + pfad +
                              "\" kann nicht erstellt werden. Zugriff verweigert");
        }
        dateien[pfad] = inhalt;
    }
    void stapelSchreiben(const std::string& pfad, const Text& inhalt) override {
        schreiben(pfad, inhalt);
    }
    void vorschauSchreiben(const std::string& pfad, const Text& inhalt) override {
        schreiben(pfad, inhalt);
    }
    bool existiert(const std::string& pfad) override { return dateien.count(pfad) != 0; }
    Dateiart art(const std::string& pfad) override {
        return existiert(pfad) ? Dateiart::Datei : Dateiart::Fehlt;
    }
    bool dieselbeDatei(const std::string& a, const std::string& b) override {
        return a == b && existiert(a);
    }
    void kopieren(const std::string& von, const std::string& nach, bool ueberschreiben) override {
        protokoll("kopie " + von + " -> " + nach + (ueberschreiben ? " ueberschreiben" : ""));
        if (!existiert(von) || (existiert(nach) && !ueberschreiben) || gesperrt.count(nach) != 0) {
            throw DateiFehler("Datei \"" + nach +
                              "\" kann nicht erstellt werden. Zugriff verweigert");
        }
        dateien[nach] = dateien[von];
    }
    bool umbenennen(const std::string& von, const std::string& nach) override {
        if (!existiert(von) || existiert(nach) || gesperrt.count(nach) != 0) return false;
        dateien[nach] = dateien[von];
        dateien.erase(von);
        return true;
    }
    std::int32_t groesse(const std::string& pfad) override {
        const auto it = dateien.find(pfad);
        return it == dateien.end() ? -1 : static_cast<std::int32_t>(it->second.size());
    }
    bool loeschen(const std::string& pfad) override { return dateien.erase(pfad) != 0; }

  private:
    void protokoll(const std::string& eintrag) {
        if (log != nullptr) log->push_back(eintrag);
    }
};

}  // namespace quintaro::test
