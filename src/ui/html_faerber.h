// HtmlFaerber: HTML colouring for pages with very long lines (an optimised page is one line).
//
// QScintilla lays out a changed line whole and splits it into runs at every change of style; a
// run shorter than 30 bytes is measured once and then taken from its position cache, a longer one
// is measured with a QTextLayout every time. This colouring therefore makes every run short and
// frequent: each token (tag, attribute, word, at most kStueck bytes of a longer one) gets a style
// different from its neighbour's, alternating between a style and its twin that looks the same.
// Its colours are those of QScintilla's HTML lexer. After a change it colours only from the tag
// before the change to the first tag behind it that it has coloured the same way before.
#pragma once

#include <Qsci/qscilexercustom.h>

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace quintaro::ui {

class HtmlFaerber : public QsciLexerCustom {
    Q_OBJECT
  public:
    // The colours; style n + kZwilling looks like style n.
    enum Farbe : unsigned char {
        Text,
        Tag,
        UnbekannterTag,
        Attribut,
        UnbekanntesAttribut,
        Zahl,
        DoppeltZitiert,
        EinfachZitiert,
        Zeichen,
        Kommentar,
        Entitaet,
        Wert,
        SgmlText,
        SgmlBefehl,
        SgmlZeichenkette,
        XmlStart,
        SkriptText,
        SkriptWort,
        SkriptSchluesselwort,
        SkriptZahl,
        SkriptZeichenkette,
        SkriptKommentar,
        SgmlParameter,
        UnbekannterTagRest,  // the rest of an unknown tag, which the HTML lexer shows as its name
        kFarben
    };
    static constexpr int kZwilling = 64;
    // Longest token in one run; with the whitespace behind it a run stays below 30 bytes.
    static constexpr std::size_t kStueck = 24;

    explicit HtmlFaerber(QObject* parent);

    const char* language() const override { return "HTML"; }
    QString description(int style) const override;
    QColor defaultColor(int style) const override;
    QColor defaultPaper(int style) const override;
    void setEditor(QsciScintilla* editor) override;
    void styleText(int start, int end) override;

    // The colouring itself: one style per byte of `text` from `von` (a tag start, or 0) on, into
    // `stile`, up to `bis` or a little beyond (a token is finished). It stops early at a tag start
    // q >= `frei` for which `stilVorher(q)` is the style it would give: from there on the styles
    // it gave before still hold. Returns where it stopped.
    static std::size_t faerben(std::string_view text, std::size_t von, std::size_t bis,
                               std::size_t frei, const std::function<int(std::size_t)>& stilVorher,
                               std::string& stile);

  private:
    void textGeaendert(int position, int art, int laenge);
    // Colours from the first byte without a valid style to the end, or to the first tag from
    // which on the styles still hold; with `nurEingeholt` only if it finds that tag before `bis`.
    void faerbenBis(std::size_t bis, bool nurEingeholt);

    // Changes up to this size are coloured as they happen, looking this far behind them.
    static constexpr std::size_t kSofort = 4096;

    // Every change not yet coloured lies before this position (0: none). Styles behind it were
    // only moved by the changes, so the colouring may stop on one of them.
    std::size_t schmutzigBis_ = 0;
};

}  // namespace quintaro::ui
