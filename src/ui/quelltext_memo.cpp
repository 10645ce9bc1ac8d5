// QScintilla runs in UTF-8 mode: a page in UTF-8 is its own representation there, the bytes of
// any other cross over through the engine's code page tables.
#include "ui/quelltext_memo.h"

#include <Qsci/qscilexerhtml.h>
#include <Qsci/qsciscintilla.h>
#include <QEvent>
#include <QFontDatabase>

#include <algorithm>
#include <string>
#include <string_view>

#include "ui/html_faerber.h"
#include "ui/kodierung.h"

namespace quintaro::ui {

namespace {

std::size_t laengsteZeile(std::string_view text) {
    std::size_t laengste = 0;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t ende = std::min(text.find_first_of("\r\n", start), text.size());
        laengste = std::max(laengste, ende - start);
        start = ende + 1;
    }
    return laengste;
}

}  // namespace

QuelltextMemo::QuelltextMemo(QWidget* parent)
    : QObject(parent),
      editor_(new QsciScintilla(parent)),
      lexer_(new QsciLexerHTML(editor_)),
      faerber_(new HtmlFaerber(editor_)) {
    editor_->setObjectName(QStringLiteral("QuelltextMemo"));
    editor_->setUtf8(true);
    editor_->setEolMode(QsciScintilla::EolWindows);
    editor_->setWrapMode(QsciScintilla::WrapNone);
    editor_->setMarginWidth(0, 0);
    editor_->setMarginWidth(1, 0);
    editor_->setMarginWidth(2, 0);
    editor_->setFolding(QsciScintilla::NoFoldStyle);
    editor_->setFrameShape(QFrame::StyledPanel);
    // Both scroll bars always: the horizontal one follows the longest line seen.
    editor_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    editor_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    editor_->SendScintilla(QsciScintillaBase::SCI_SETSCROLLWIDTH, 1);
    editor_->SendScintilla(QsciScintillaBase::SCI_SETSCROLLWIDTHTRACKING, true);
    // Every keystroke in an optimised page (one long line) measures that whole line again; with
    // room for its many short coloured runs (the default holds 1024) most come from the cache.
    editor_->SendScintilla(QsciScintillaBase::SCI_SETPOSITIONCACHE, 65536L);

    const QFont schrift = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    editor_->setFont(schrift);
    lexer_->setDefaultFont(schrift);
    lexer_->setFont(schrift, -1);
    faerber_->setDefaultFont(schrift);
    faerber_->setFont(schrift, -1);
    setzeFaerbung(lexer_);

    connect(editor_, &QsciScintilla::textChanged, this, [this] {
        if (!still_) emit geaendert();
    });
    editor_->installEventFilter(this);
}

void QuelltextMemo::setzeFaerbung(QsciLexer* lexer) {
    faerbt_ = lexer != nullptr;
    if (editor_->lexer() == lexer) return;
    editor_->setLexer(lexer);
    if (lexer == nullptr) editor_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
}

Text QuelltextMemo::text() const {
    if (ausstehend_) return *ausstehend_;
    const auto laenge =
        static_cast<std::size_t>(editor_->SendScintilla(QsciScintillaBase::SCI_GETLENGTH));
    if (laenge == 0) return {};
    const auto* daten = static_cast<const char*>(
        editor_->SendScintillaPtrResult(QsciScintillaBase::SCI_GETCHARACTERPOINTER));
    const std::string_view bytes(daten, laenge);
    if (kodierung_ == Kodierung::Utf8) return Text(bytes);
    return utf8NachCp1252(bytes);
}

void QuelltextMemo::setText(const Text& text, Kodierung kodierung) {
    kodierung_ = kodierung;
    setText(text);
}

void QuelltextMemo::setzeKodierung(Kodierung kodierung) {
    if (kodierung == kodierung_) return;
    if (ausstehend_) {
        kodierung_ = kodierung;
        return;
    }
    const Text bytes = text();
    kodierung_ = kodierung;
    still_ = true;
    zeigen(bytes);
    still_ = false;
}

void QuelltextMemo::setText(const Text& text) {
    if (halten_ && !editor_->isVisible()) {
        ausstehend_ = text;
        emit geaendert();
        return;
    }
    ausstehend_.reset();
    zeigen(text);
}

void QuelltextMemo::zeigen(const Text& text) {
    const std::string utf8 = kodierung_ == Kodierung::Utf8 ? text : cp1252NachUtf8(text);
    if (text.size() > farbGrenze_) {
        setzeFaerbung(nullptr);
    } else {
        setzeFaerbung(laengsteZeile(utf8) > kLangeZeile ? static_cast<QsciLexer*>(faerber_)
                                                        : lexer_);
    }
    // SCI_SETTEXT stops at a NUL byte; clearing and appending with a length keeps every byte.
    editor_->SendScintilla(QsciScintillaBase::SCI_SETUNDOCOLLECTION, false);
    editor_->SendScintilla(QsciScintillaBase::SCI_CLEARALL);
    editor_->SendScintilla(QsciScintillaBase::SCI_APPENDTEXT,
                           static_cast<unsigned long>(utf8.size()), utf8.data());
    editor_->SendScintilla(QsciScintillaBase::SCI_SETUNDOCOLLECTION, true);
    editor_->SendScintilla(QsciScintillaBase::SCI_EMPTYUNDOBUFFER);
    // Clearing put the caret and the view at the start. Moving the caret explicitly would lay
    // out its whole line at once, which for an optimised page is the entire text.
    editor_->SendScintilla(QsciScintillaBase::SCI_SETXOFFSET, 0L);
}

std::u32string QuelltextMemo::nichtDarstellbar() const {
    if (kodierung_ == Kodierung::Utf8) return {};
    if (ausstehend_) return {};  // only bytes, set by the program
    const auto laenge =
        static_cast<std::size_t>(editor_->SendScintilla(QsciScintillaBase::SCI_GETLENGTH));
    if (laenge == 0) return {};
    const auto* daten = static_cast<const char*>(
        editor_->SendScintillaPtrResult(QsciScintillaBase::SCI_GETCHARACTERPOINTER));
    return fehlenInCp1252(std::string_view(daten, laenge));
}

void QuelltextMemo::nachUtf8() {
    uebernehmen();
    // The control holds the characters as UTF-8 already.
    kodierung_ = Kodierung::Utf8;
}

void QuelltextMemo::ersetzen(const Text& neu) {
    const Text alt = text();
    std::size_t vorn = 0;
    while (vorn < alt.size() && vorn < neu.size() && alt[vorn] == neu[vorn]) ++vorn;
    std::size_t hinten = 0;
    while (hinten < alt.size() - vorn && hinten < neu.size() - vorn &&
           alt[alt.size() - 1 - hinten] == neu[neu.size() - 1 - hinten]) {
        ++hinten;
    }
    const std::string mitte = neu.substr(vorn, neu.size() - vorn - hinten);
    editor_->SendScintilla(QsciScintillaBase::SCI_SETTARGETRANGE, static_cast<unsigned long>(vorn),
                           static_cast<long>(alt.size() - hinten));
    editor_->SendScintilla(QsciScintillaBase::SCI_REPLACETARGET,
                           static_cast<unsigned long>(mitte.size()), mitte.data());
}

bool QuelltextMemo::hatKeinenText() const {
    if (ausstehend_) return ausstehend_->empty();
    return editor_->SendScintilla(QsciScintillaBase::SCI_GETLENGTH) == 0;
}

void QuelltextMemo::zurueckhalten(bool an) {
    halten_ = an;
    if (!an) uebernehmen();
}

void QuelltextMemo::uebernehmen() {
    if (!ausstehend_) return;
    const Text text = std::move(*ausstehend_);
    ausstehend_.reset();
    still_ = true;
    zeigen(text);
    still_ = false;
}

bool QuelltextMemo::eventFilter(QObject* objekt, QEvent* ereignis) {
    if (objekt == editor_ && ereignis->type() == QEvent::Show) uebernehmen();
    return QObject::eventFilter(objekt, ereignis);
}

}  // namespace quintaro::ui
