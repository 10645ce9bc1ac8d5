// The source editor QuelltextMemo: a QScintilla editor that shows the document's bytes as the
// characters of its encoding and gives back exactly those bytes.
#pragma once

#include <QObject>
#include <cstddef>
#include <optional>
#include <string>

#include "engine/kodierung.h"
#include "engine/text.h"

class QsciScintilla;
class QsciLexer;
class QsciLexerHTML;
class QWidget;

namespace quintaro::ui {

class HtmlFaerber;

class QuelltextMemo : public QObject {
    Q_OBJECT
  public:
    // Above this size the HTML colouring is switched off: styling the whole text at once (a jump
    // to its end) costs about 40 ms per MB. Below it colouring even speeds up the long single
    // line an optimised page becomes, as its short coloured runs are measured from a cache.
    static constexpr std::size_t kFarbGrenze = std::size_t{8} * 1024 * 1024;
    // A text with a line longer than this (an optimised page is one line) is coloured by
    // HtmlFaerber, whose short runs QScintilla measures from its cache when it lays out the
    // changed line anew after every keystroke. Chosen when a text is set, not while typing.
    static constexpr std::size_t kLangeZeile = std::size_t{64} * 1024;

    explicit QuelltextMemo(QWidget* parent);

    QsciScintilla* widget() const { return editor_; }

    Text text() const;
    // Replaces the whole text; the undo history starts afresh and the view returns to the top.
    void setText(const Text& text);
    // The same with the encoding of the new text.
    void setText(const Text& text, Kodierung kodierung);

    // Code page 1252 and other 8-bit pages are shown by code page 1252, and typed characters that
    // code page lacks are stored as '?'. UTF-8 goes to the control as it is: the control keeps
    // bytes that are not well-formed UTF-8 (showing each as its hex code), and typing only ever
    // inserts well-formed UTF-8, so every byte sequence round-trips.
    Kodierung kodierung() const { return kodierung_; }
    // Shows the same bytes as characters of `kodierung`; the text stays as it is, so no change is
    // reported.
    void setzeKodierung(Kodierung kodierung);
    bool hatKeinenText() const;
    // The characters in a code-page text that its code page cannot hold (typed or pasted), each
    // once: text() gives each as '?'. Empty for UTF-8.
    std::u32string nichtDarstellbar() const;
    // The characters shown are the text from now on, as UTF-8 bytes; nothing on the screen
    // changes.
    void nachUtf8();
    // Replaces the text by `neu` as one edit that keeps the view and the undo history; UTF-8 only.
    void ersetzen(const Text& neu);
    bool faerbt() const { return faerbt_; }
    // Texts above `bytes` are shown plain (kFarbGrenze unless set); taken by the next text set.
    void setzeFarbGrenze(std::size_t bytes) { farbGrenze_ = bytes; }

    // While held (a batch run), a text set while the control is hidden is only kept: the control
    // gets it when it is shown or the hold ends. text() and geaendert behave as without the hold.
    void zurueckhalten(bool an);
    bool zurueckgehalten() const { return ausstehend_.has_value(); }

  signals:
    // Every change of the text, by the user or by the program.
    void geaendert();

  protected:
    bool eventFilter(QObject* objekt, QEvent* ereignis) override;

  private:
    void setzeFaerbung(QsciLexer* lexer);
    void zeigen(const Text& text);
    void uebernehmen();

    QsciScintilla* editor_;
    QsciLexerHTML* lexer_;
    HtmlFaerber* faerber_;
    bool faerbt_ = false;
    std::size_t farbGrenze_ = kFarbGrenze;
    bool halten_ = false;
    bool still_ = false;  // the control takes over a text whose change was already reported
    Kodierung kodierung_ = Kodierung::Cp1252;
    std::optional<Text> ausstehend_;
};

}  // namespace quintaro::ui
