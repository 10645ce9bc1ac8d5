// The panes are source editors of their own (QuelltextMemo), read-only and wrapped, so that they
// show the texts in the editor's font, colours and encoding. Their positions are bytes of the
// UTF-8 the control holds, which for a code page 1252 page differ from the page's bytes.
#include "ui/aenderungs_ansicht.h"

#include <Qsci/qsciscintilla.h>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QScrollBar>
#include <QSplitter>
#include <QTimer>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>
#include <algorithm>
#include <array>
#include <limits>
#include <memory>
#include <string_view>

#include "ui/bausteine.h"
#include "ui/quelltext_memo.h"

namespace quintaro::ui {

namespace {

using Sci = QsciScintillaBase;

// Scintilla's colours are 0xBBGGRR.
constexpr long farbe(int r, int g, int b) {
    return static_cast<long>(r) | (static_cast<long>(g) << 8) | (static_cast<long>(b) << 16);
}

void indikator(QsciScintilla* feld, int nummer, int stil, long farbwert, int deckung) {
    feld->SendScintilla(Sci::SCI_INDICSETSTYLE, static_cast<unsigned long>(nummer), stil);
    feld->SendScintilla(Sci::SCI_INDICSETFORE, static_cast<unsigned long>(nummer), farbwert);
    feld->SendScintilla(Sci::SCI_INDICSETALPHA, static_cast<unsigned long>(nummer), deckung);
    feld->SendScintilla(Sci::SCI_INDICSETOUTLINEALPHA, static_cast<unsigned long>(nummer), 200L);
    feld->SendScintilla(Sci::SCI_INDICSETUNDER, static_cast<unsigned long>(nummer), 1L);
}

void fuellen(QsciScintilla* feld, int nummer, long von, long bis) {
    if (bis <= von) return;
    feld->SendScintilla(Sci::SCI_SETINDICATORCURRENT, static_cast<unsigned long>(nummer));
    feld->SendScintilla(Sci::SCI_INDICATORFILLRANGE, static_cast<unsigned long>(von), bis - von);
}

long laenge(QsciScintilla* feld) {
    return feld->SendScintilla(Sci::SCI_GETLENGTH);
}

// The point under the character where one side of a change has nothing.
void stelle(QsciScintilla* feld, long position) {
    const long ende = laenge(feld);
    if (ende == 0) return;
    const long p = std::min(position, ende - 1);
    fuellen(feld, AenderungsAnsicht::kStelle, p,
            feld->SendScintilla(Sci::SCI_POSITIONAFTER, static_cast<unsigned long>(p)));
}

// Byte offsets of a page, in increasing order, as positions in the control's UTF-8.
class Positionen {
  public:
    Positionen(std::string_view text, Kodierung kodierung)
        : text_(text), utf8_(kodierung == Kodierung::Utf8) {
        static const std::array<unsigned char, 256> kLaengen = [] {
            std::array<unsigned char, 256> l{};
            for (int b = 0; b < 256; ++b) {
                l[static_cast<std::size_t>(b)] = static_cast<unsigned char>(
                    cp1252NachUtf8(std::string(1, static_cast<char>(b))).size());
            }
            return l;
        }();
        laengen_ = &kLaengen;
    }
    long bei(std::size_t byte) {
        if (utf8_) return static_cast<long>(byte);
        for (; byte_ < byte; ++byte_) {
            position_ += (*laengen_)[static_cast<unsigned char>(text_[byte_])];
        }
        return position_;
    }

  private:
    std::string_view text_;
    bool utf8_;
    const std::array<unsigned char, 256>* laengen_ = nullptr;
    std::size_t byte_ = 0;
    long position_ = 0;
};

// The first display line of the wrapped view at which `position` stands.
long anzeigezeile(QsciScintilla* feld, long position) {
    const long zeile = feld->SendScintilla(Sci::SCI_LINEFROMPOSITION, position);
    const long anfang = feld->SendScintilla(Sci::SCI_POSITIONFROMLINE, zeile);
    const long hoehe = std::max(1L, feld->SendScintilla(Sci::SCI_TEXTHEIGHT, zeile));
    const long y = feld->SendScintilla(Sci::SCI_POINTYFROMPOSITION, 0UL, position);
    const long yAnfang = feld->SendScintilla(Sci::SCI_POINTYFROMPOSITION, 0UL, anfang);
    return feld->SendScintilla(Sci::SCI_VISIBLEFROMDOCLINE, zeile) + (y - yAnfang) / hoehe;
}

QWidget* spalte(const QString& titel, QWidget* feld, QWidget* parent) {
    auto* w = new QWidget(parent);
    auto* l = new QVBoxLayout(w);
    l->setContentsMargins(0, 0, 0, 0);
    l->setSpacing(2);
    l->addWidget(ueberschrift(titel, w));
    feld->setParent(w);
    l->addWidget(feld, 1);
    return w;
}

}  // namespace

AenderungsAnsicht::AenderungsAnsicht(Text original, Text ergebnis, Kodierung kodierung,
                                     QWidget* parent)
    : QDialog(parent),
      original_(std::make_shared<const Text>(std::move(original))),
      ergebnis_(std::make_shared<const Text>(std::move(ergebnis))),
      kodierung_(kodierung),
      links_(new QuelltextMemo(this)),
      rechts_(new QuelltextMemo(this)) {
    setObjectName(QStringLiteral("AenderungsAnsicht"));
    setWindowTitle(QStringLiteral("Änderungen"));
    setSizeGripEnabled(true);

    zusammenfassung_ = new QLabel(this);
    zusammenfassung_->setObjectName(QStringLiteral("ZusammenfassungLabel"));
    grob_ = new QLabel(
        QStringLiteral("Grobe Markierung: Der Vergleich Token für Token wäre hier zu aufwendig; "
                       "zusammenhängende Abschnitte sind als Ganzes markiert."),
        this);
    grob_->setObjectName(QStringLiteral("GrobLabel"));
    grob_->setWordWrap(true);
    grob_->hide();

    const long rot = farbe(0xE0, 0x30, 0x30);
    const long gruen = farbe(0x20, 0xB0, 0x30);
    for (QuelltextMemo* memo : {links_, rechts_}) {
        const bool istLinks = memo == links_;
        // Coloured whatever the size: its short runs are measured from a cache, which makes the
        // first wrap of an optimised page (one long line) about 2.5 times as fast as plain text.
        memo->setzeFarbGrenze(std::numeric_limits<std::size_t>::max());
        memo->setText(istLinks ? *original_ : *ergebnis_, kodierung_);
        QsciScintilla* feld = memo->widget();
        feld->setObjectName(istLinks ? QStringLiteral("OriginalFeld")
                                     : QStringLiteral("ErgebnisFeld"));
        feld->setReadOnly(true);
        feld->setWrapMode(QsciScintilla::WrapWord);
        feld->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        feld->SendScintilla(Sci::SCI_SETSCROLLWIDTHTRACKING, 0L);
        indikator(feld, kEntfernt, Sci::INDIC_FULLBOX, rot, 70);
        indikator(feld, kEingefuegt, Sci::INDIC_FULLBOX, gruen, 70);
        indikator(feld, kStelle, Sci::INDIC_POINT, istLinks ? gruen : rot, 255);
        indikator(feld, kAktuell, Sci::INDIC_BOX, farbe(0x20, 0x20, 0xC0), 255);
        feld->SendScintilla(Sci::SCI_INDICSETUNDER, static_cast<unsigned long>(kAktuell), 0L);
        feld->setMarginType(1, QsciScintilla::SymbolMargin);
        feld->setMarginWidth(1, 10);
        feld->setMarginMarkerMask(1, (1 << kZeileGeaendert) | (1 << kZeileAktuell));
        feld->SendScintilla(Sci::SCI_MARKERDEFINE, static_cast<unsigned long>(kZeileGeaendert),
                            static_cast<long>(Sci::SC_MARK_LEFTRECT));
        feld->SendScintilla(Sci::SCI_MARKERSETBACK, static_cast<unsigned long>(kZeileGeaendert),
                            istLinks ? rot : gruen);
        feld->SendScintilla(Sci::SCI_MARKERDEFINE, static_cast<unsigned long>(kZeileAktuell),
                            static_cast<long>(Sci::SC_MARK_SHORTARROW));
        feld->SendScintilla(Sci::SCI_MARKERSETBACK, static_cast<unsigned long>(kZeileAktuell),
                            farbe(0x20, 0x20, 0xC0));
        feld->installEventFilter(this);
    }
    connect(originalFeld()->verticalScrollBar(), &QScrollBar::valueChanged, this, [this] {
        sichtbarMarkieren(originalFeld());
        mitziehen(originalFeld(), ergebnisFeld());
    });
    connect(ergebnisFeld()->verticalScrollBar(), &QScrollBar::valueChanged, this, [this] {
        sichtbarMarkieren(ergebnisFeld());
        mitziehen(ergebnisFeld(), originalFeld());
    });

    auto* teiler = new QSplitter(Qt::Horizontal, this);
    teiler->addWidget(spalte(QStringLiteral("Original (wie geladen)"), originalFeld(), teiler));
    teiler->addWidget(
        spalte(QStringLiteral("Quelltext (jetzt im Editor)"), ergebnisFeld(), teiler));
    teiler->setChildrenCollapsible(false);

    vorherige_ = new QPushButton(QStringLiteral("&Vorherige Änderung"), this);
    vorherige_->setObjectName(QStringLiteral("VorherigeButton"));
    vorherige_->setToolTip(QStringLiteral("Zur vorherigen Änderung (Alt+Pfeil nach oben)"));
    naechste_ = new QPushButton(QStringLiteral("&Nächste Änderung"), this);
    naechste_->setObjectName(QStringLiteral("NaechsteButton"));
    naechste_->setToolTip(QStringLiteral("Zur nächsten Änderung (Alt+Pfeil nach unten)"));
    auto* schliessen = new QPushButton(QStringLiteral("Schließen"), this);
    schliessen->setObjectName(QStringLiteral("SchliessenButton"));
    for (QPushButton* k : {vorherige_, naechste_, schliessen}) k->setAutoDefault(false);
    connect(vorherige_, &QPushButton::clicked, this, [this] { vorherigeAenderung(); });
    connect(naechste_, &QPushButton::clicked, this, [this] { naechsteAenderung(); });
    connect(schliessen, &QPushButton::clicked, this, &QDialog::accept);

    auto* knoepfe = new QHBoxLayout;
    knoepfe->addWidget(vorherige_);
    knoepfe->addWidget(naechste_);
    knoepfe->addStretch(1);
    knoepfe->addWidget(schliessen);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(zusammenfassung_);
    layout->addWidget(grob_);
    layout->addWidget(teiler, 1);
    layout->addLayout(knoepfe);
    resize(1000, 650);

    connect(&waechter_, &QFutureWatcher<Vergleich>::finished, this, [this] { verglichen(); });
    waechter_.setFuture(
        QtConcurrent::run([alt = original_, neu = ergebnis_] { return vergleiche(*alt, *neu); }));
    zusammenfassen();
}

AenderungsAnsicht::~AenderungsAnsicht() = default;

QsciScintilla* AenderungsAnsicht::originalFeld() const {
    return links_->widget();
}
QsciScintilla* AenderungsAnsicht::ergebnisFeld() const {
    return rechts_->widget();
}

void AenderungsAnsicht::verglichen() {
    vergleich_ = waechter_.result();
    Positionen alt(*original_, kodierung_);
    Positionen neu(*ergebnis_, kodierung_);
    positionen_.reserve(vergleich_.aenderungen.size());
    for (const Aenderung& a : vergleich_.aenderungen) {
        const long von = alt.bei(a.alt);
        const long bis = alt.bei(a.altEnde);
        const long nVon = neu.bei(a.neu);
        positionen_.push_back({von, bis, nVon, neu.bei(a.neuEnde)});
    }
    verglichen_ = true;
    grob_->setVisible(vergleich_.grob);
    zusammenfassen();
    sichtbarMarkieren(originalFeld());
    sichtbarMarkieren(ergebnisFeld());
    emit fertigMarkiert();
}

void AenderungsAnsicht::sichtbarMarkieren(QsciScintilla* feld) {
    if (!verglichen_ || positionen_.empty()) return;
    const bool links = feld == originalFeld();
    const auto anfang = [links](const Stelle& s) { return links ? s.alt : s.neu; };
    const auto ende = [links](const Stelle& s) { return links ? s.altEnde : s.neuEnde; };
    // What the pane shows, and as much again above and below.
    const long oben = feld->SendScintilla(Sci::SCI_POSITIONFROMPOINT, 0UL, 0L);
    const long unten = feld->SendScintilla(Sci::SCI_POSITIONFROMPOINT,
                                           static_cast<unsigned long>(feld->viewport()->width()),
                                           static_cast<long>(feld->viewport()->height()));
    const long von = std::max(0L, oben - (unten - oben));
    const long bis = unten + (unten - oben) + 1;
    const auto erste = std::partition_point(
        positionen_.begin(), positionen_.end(),
        [&](const Stelle& s) { return std::max(ende(s), anfang(s) + 1) <= von; });
    const auto letzte = std::partition_point(erste, positionen_.end(),
                                             [&](const Stelle& s) { return anfang(s) < bis; });
    const Ausschnitt neu{static_cast<std::size_t>(erste - positionen_.begin()),
                         static_cast<std::size_t>(letzte - positionen_.begin())};
    Ausschnitt& alt = markiert_[links ? 0 : 1];
    if (neu.von == alt.von && neu.bis == alt.bis) return;

    const int flaeche = links ? kEntfernt : kEingefuegt;
    if (alt.bis > alt.von) {
        const long weg = anfang(positionen_[alt.von]);
        const long wegBis = std::min(laenge(feld), ende(positionen_[alt.bis - 1]) + 4);
        for (const int nummer : {flaeche, kStelle}) {
            feld->SendScintilla(Sci::SCI_SETINDICATORCURRENT, static_cast<unsigned long>(nummer));
            feld->SendScintilla(Sci::SCI_INDICATORCLEARRANGE, static_cast<unsigned long>(weg),
                                wegBis - weg);
        }
        feld->SendScintilla(Sci::SCI_MARKERDELETEALL, static_cast<unsigned long>(kZeileGeaendert));
    }
    long letzteZeile = -1;
    for (std::size_t i = neu.von; i < neu.bis; ++i) {
        const Stelle& s = positionen_[i];
        const long a = anfang(s);
        const long e = ende(s);
        if (e > a) {
            fuellen(feld, flaeche, a, e);
        } else {
            stelle(feld, a);
        }
        const long z0 =
            std::max(letzteZeile + 1, feld->SendScintilla(Sci::SCI_LINEFROMPOSITION, a));
        const long z1 = feld->SendScintilla(Sci::SCI_LINEFROMPOSITION, std::max(a, e - 1));
        for (long z = z0; z <= z1; ++z) {
            feld->SendScintilla(Sci::SCI_MARKERADD, static_cast<unsigned long>(z),
                                static_cast<long>(kZeileGeaendert));
        }
        letzteZeile = std::max(letzteZeile, z1);
    }
    alt = neu;
}

void AenderungsAnsicht::zusammenfassen() {
    const QLocale deutsch(QLocale::German);
    const auto n = static_cast<long>(positionen_.size());
    QString text;
    if (!verglichen_) {
        text = QStringLiteral("Vergleiche …");
    } else if (n == 0) {
        text = QStringLiteral("Keine Änderungen");
    } else {
        text = (n == 1 ? QStringLiteral("1 Änderung")
                       : deutsch.toString(n) + QStringLiteral(" Änderungen")) +
               QStringLiteral(": ") +
               deutsch.toString(static_cast<qulonglong>(vergleich_.entfernt)) +
               QStringLiteral(" Byte entfernt, ") +
               deutsch.toString(static_cast<qulonglong>(vergleich_.eingefuegt)) +
               QStringLiteral(" Byte eingefügt");
        if (aktuell_ >= 0) {
            text += QStringLiteral(" – Änderung ") + deutsch.toString(aktuell_ + 1) +
                    QStringLiteral(" von ") + deutsch.toString(n);
        }
    }
    zusammenfassung_->setText(text);
    vorherige_->setEnabled(aktuell_ > 0);
    naechste_->setEnabled(aktuell_ + 1 < n);
}

void AenderungsAnsicht::naechsteAenderung() {
    if (aktuell_ + 1 < static_cast<long>(positionen_.size())) springen(aktuell_ + 1);
}

void AenderungsAnsicht::vorherigeAenderung() {
    if (aktuell_ > 0) springen(aktuell_ - 1);
}

void AenderungsAnsicht::springen(long index) {
    aktuell_ = index;
    const Stelle& s = positionen_[static_cast<std::size_t>(index)];
    zieht_ = true;
    for (QsciScintilla* feld : {originalFeld(), ergebnisFeld()}) {
        const bool istLinks = feld == originalFeld();
        const long von = istLinks ? s.alt : s.neu;
        const long bis = istLinks ? s.altEnde : s.neuEnde;
        feld->SendScintilla(Sci::SCI_SETINDICATORCURRENT, static_cast<unsigned long>(kAktuell));
        feld->SendScintilla(Sci::SCI_INDICATORCLEARRANGE, 0UL, laenge(feld));
        fuellen(feld, kAktuell, von, bis);
        feld->SendScintilla(Sci::SCI_MARKERDELETEALL, static_cast<unsigned long>(kZeileAktuell));
        feld->SendScintilla(
            Sci::SCI_MARKERADD,
            static_cast<unsigned long>(feld->SendScintilla(Sci::SCI_LINEFROMPOSITION, von)),
            static_cast<long>(kZeileAktuell));
        // The change two lines below the top, with what leads up to it above.
        feld->SendScintilla(Sci::SCI_SETFIRSTVISIBLELINE,
                            std::max(0L, anzeigezeile(feld, von) - 2));
        sichtbarMarkieren(feld);
    }
    zieht_ = false;
    zusammenfassen();
}

void AenderungsAnsicht::mitziehen(QsciScintilla* von, QsciScintilla* nach) {
    if (zieht_ || !verglichen_) return;
    zieht_ = true;
    const bool ausLinks = von == originalFeld();
    const long oben = von->SendScintilla(Sci::SCI_POSITIONFROMPOINT, 0UL, 0L);
    // The last change that starts at or before the top.
    const auto danach = std::upper_bound(
        positionen_.begin(), positionen_.end(), oben,
        [ausLinks](long p, const Stelle& s) { return p < (ausLinks ? s.alt : s.neu); });
    long ziel = oben;
    if (danach != positionen_.begin()) {
        const Stelle& s = *(danach - 1);
        const long anfang = ausLinks ? s.alt : s.neu;
        const long ende = ausLinks ? s.altEnde : s.neuEnde;
        const long andererAnfang = ausLinks ? s.neu : s.alt;
        const long andererEnde = ausLinks ? s.neuEnde : s.altEnde;
        ziel = oben < ende ? andererAnfang + std::min(oben - anfang, andererEnde - andererAnfang)
                           : andererEnde + (oben - ende);
    }
    ziel = std::min(ziel, laenge(nach));
    nach->SendScintilla(Sci::SCI_SETFIRSTVISIBLELINE, anzeigezeile(nach, ziel));
    sichtbarMarkieren(nach);
    zieht_ = false;
}

bool AenderungsAnsicht::eventFilter(QObject* objekt, QEvent* ereignis) {
    // A new width wraps the lines anew: other changes are on the screen.
    if (ereignis->type() == QEvent::Resize &&
        (objekt == originalFeld() || objekt == ergebnisFeld())) {
        auto* feld = static_cast<QsciScintilla*>(objekt);
        QTimer::singleShot(0, this, [this, feld] { sichtbarMarkieren(feld); });
    }
    if (ereignis->type() == QEvent::KeyPress &&
        (objekt == originalFeld() || objekt == ergebnisFeld())) {
        const auto* taste = static_cast<QKeyEvent*>(ereignis);
        if ((taste->modifiers() & ~Qt::KeypadModifier) == Qt::AltModifier) {
            if (taste->key() == Qt::Key_Down) {
                naechsteAenderung();
                return true;
            }
            if (taste->key() == Qt::Key_Up) {
                vorherigeAenderung();
                return true;
            }
        }
    }
    return QDialog::eventFilter(objekt, ereignis);
}

void AenderungsAnsicht::keyPressEvent(QKeyEvent* ereignis) {
    if ((ereignis->modifiers() & ~Qt::KeypadModifier) == Qt::AltModifier) {
        if (ereignis->key() == Qt::Key_Down) {
            naechsteAenderung();
            return;
        }
        if (ereignis->key() == Qt::Key_Up) {
            vorherigeAenderung();
            return;
        }
    }
    QDialog::keyPressEvent(ereignis);
}

}  // namespace quintaro::ui
