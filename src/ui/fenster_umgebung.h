// What an optimisation run needs from the window: TForm1's side of the engine's Umgebung.
#pragma once

#include <cstddef>
#include <string>

#include "engine/umgebung.h"

namespace quintaro::ui {

class Dialoge;
class OptionenSeite;
class PageControl;
class QuelltextSeite;
class TForm1;

// The editor's capacity for a document. It takes about 40 ms per MB and 6.5 bytes of memory per
// byte of text to show (measured offscreen: 64 MB in 2.7 s, 0.43 GB): far above any web page,
// and a larger file is refused before it is read.
inline constexpr std::size_t kFensterKapazitaet = std::size_t{64} * 1024 * 1024;

// The window's document: the file shown, whether the editor holds unsaved changes, the preview
// file of the last run, the file as it was loaded (before `DKS` lowercased the name) and the
// most bytes the editor takes.
struct Dokumentzustand {
    std::string aktuelleDatei;
    bool bearbeitungsstatus = false;
    std::string vorschaudatei;
    std::string geladeneDatei;
    std::size_t kapazitaet = kFensterKapazitaet;

    // Where the document is on disk: `aktuelleDatei`, or the loaded file while `DKS` has only
    // lowercased the name and no file has that name yet.
    std::string quelle(Dateien& dateien) const;
    // The name a plain save passes the batch save as the loaded one: the loaded file while only
    // `DKS` changed the name, else nothing.
    std::string alterName() const;
};

class FensterUmgebung : public Umgebung {
  public:
    // `fenster` carries out the window's commands and is the boxes' parent.
    FensterUmgebung(TForm1& fenster, Dokumentzustand& dokument, Dialoge& dialoge, Dateien& dateien,
                    QuelltextSeite& quelltext, OptionenSeite& optionen, PageControl& seiten)
        : fenster_(fenster),
          dokument_(dokument),
          dialoge_(dialoge),
          dateien_(dateien),
          quelltext_(quelltext),
          optionen_(optionen),
          seiten_(seiten) {}
    ~FensterUmgebung() override;

    Text quelltext() override;
    void setzeQuelltext(const Text& text) override;
    bool option(int index) override;
    const Ersetzungstabelle& ersetzungstabelle() override;
    Kodierung kodierung() override;
    Antwort frage(const std::string& text, Knoepfe knoepfe) override;
    void meldung(const std::string& text) override;
    // Balanced: a second "busy" or "normal" in a row changes nothing.
    void setzeBeschaeftigt(bool busy) override;
    void setzeOptimiertGroesse(const std::string& caption) override;
    void setzeSeitenTitel(const std::string& caption) override;
    void setzeBearbeitungsstatus(bool geaendert) override;
    std::string aktuelleDatei() override;
    void setzeAktuelleDatei(const std::string& path) override;
    void setzeVorschaudatei(const std::string& path) override;
    Dateien& dateien() override { return dateien_; }
    std::size_t kapazitaet() override { return dokument_.kapazitaet; }
    void optimierungAnzeigen() override;
    // The window's batch goes through the batch module; a run in that mode here saves the
    // editor's text as the batch save does.
    void dokumentSpeichernBatch() override;
    void quelltextSeiteZeigen() override;

    bool beschaeftigt() const { return beschaeftigt_; }

  private:
    // While a box is on the screen the pointer is the normal one, so the user can answer.
    class NormalerZeiger;

    TForm1& fenster_;
    Dokumentzustand& dokument_;
    Dialoge& dialoge_;
    Dateien& dateien_;
    QuelltextSeite& quelltext_;
    OptionenSeite& optionen_;
    PageControl& seiten_;
    bool beschaeftigt_ = false;
};

}  // namespace quintaro::ui
