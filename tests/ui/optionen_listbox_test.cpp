// OptionenListbox: defaults, the interlocks and the script warning on a user's toggle, and the
// plain inversion of a double-click.
#include <gtest/gtest.h>

#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTest>
#include <initializer_list>

#include "fakes.h"
#include "ui/optionen_listbox.h"

namespace quintaro::ui {
namespace {

using test::Box;
using test::ScriptedDialoge;

const QString kWarnung =
    QString::fromUtf8(kSkriptWarnung.data(), static_cast<qsizetype>(kSkriptWarnung.size()));

std::vector<int> angehakt(const OptionenListbox& liste) {
    std::vector<int> an;
    for (int i = 0; i < kOptionCount; ++i) {
        if (liste.option(i)) an.push_back(i);
    }
    return an;
}

class OptionenListboxTest : public ::testing::Test {
  protected:
    ScriptedDialoge dialoge;
    OptionenListbox liste{dialoge};

    void setze(std::initializer_list<int> an) {
        for (int i = 0; i < kOptionCount; ++i) liste.setzeOption(i, false);
        for (int i : an) liste.setzeOption(i, true);
    }
    // The user toggles a box with the space bar.
    void leertaste(int zeile) {
        liste.setCurrentRow(zeile);
        QTest::keyClick(liste.viewport(), Qt::Key_Space);
    }
    QRect kaestchen(int zeile) {
        QStyleOptionViewItem opt;
        opt.initFrom(&liste);
        opt.rect = liste.visualItemRect(liste.item(zeile));
        opt.features |= QStyleOptionViewItem::HasCheckIndicator | QStyleOptionViewItem::HasDisplay;
        opt.text = liste.item(zeile)->text();
        return liste.style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &opt, &liste);
    }
};

TEST_F(OptionenListboxTest, EveryRowWithItsCaptionAndDefault) {
    ASSERT_EQ(liste.count(), kOptionCount);
    EXPECT_EQ(liste.objectName(), QStringLiteral("OptionenListbox"));
    EXPECT_EQ(liste.item(6)->text(), QStringLiteral("Kommentare automatisch entfernen"));
    EXPECT_EQ(liste.item(17)->text(), QStringLiteral("Bei Programmende Einstellungen speichern"));
    EXPECT_EQ(angehakt(liste),
              (std::vector<int>{0, 1, 2, 3, 4, 5, 8, 9, 10, 13, 14, HSB, CSS, JS, ATK}));
    EXPECT_EQ(liste.visualItemRect(liste.item(3)).height(), 13);
}

struct Umschalten {
    const char* name;
    std::initializer_list<int> vorher;
    int zeile;
    std::initializer_list<int> nachher;
    bool warnung;
};

TEST_F(OptionenListboxTest, UserToggleAppliesTheInterlocks) {
    const Umschalten faelle[] = {
        {"tick 15 while 14 ticked", {14}, 15, {15}, false},
        {"untick 15: 14 stays off", {15}, 15, {}, false},
        {"tick 14 while 15 ticked", {15}, 14, {14}, false},
        {"untick 6: no warning", {6}, 6, {}, false},
        {"tick 6 while 7 ticked: warning", {7}, 6, {6}, true},
        {"tick 7 while 6 ticked: no warning", {6}, 7, {7}, false},
        {"tick 6 alone warns", {}, 6, {6}, true},
        {"other rows have no side effect", {6, 7, 14, 15}, 3, {3, 6, 7, 14, 15}, false},
        {"both of a pair ticked, one toggled off", {14, 15}, 14, {}, false},
    };
    for (const auto& f : faelle) {
        setze(f.vorher);
        dialoge.boxen.clear();
        leertaste(f.zeile);
        EXPECT_EQ(angehakt(liste), std::vector<int>(f.nachher)) << f.name;
        EXPECT_EQ(dialoge.texte(Box::Meldung),
                  f.warnung ? std::vector<QString>{kWarnung} : std::vector<QString>{})
            << f.name;
    }
}

TEST_F(OptionenListboxTest, MouseClickOnTheBoxSelectsTheRowAndAppliesTheInterlocks) {
    liste.resize(300, 400);
    liste.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&liste));
    setze({7});
    liste.setCurrentRow(0);
    QTest::mouseClick(liste.viewport(), Qt::LeftButton, {}, kaestchen(6).center());
    EXPECT_EQ(liste.currentRow(), 6);
    EXPECT_EQ(angehakt(liste), (std::vector<int>{6}));
    EXPECT_EQ(dialoge.texte(Box::Meldung), std::vector<QString>{kWarnung});
}

TEST_F(OptionenListboxTest, DoubleClickOnCaptionInvertsWithoutInterlocks) {
    liste.resize(300, 400);
    liste.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&liste));
    // A double-click as the mouse makes it: press, release, double-click, release.
    auto doppelklick = [this](int zeile) {
        const QRect r = liste.visualItemRect(liste.item(zeile));
        const QPoint p(r.right() - 10, r.center().y());
        QTest::mouseClick(liste.viewport(), Qt::LeftButton, {}, p);
        QTest::mouseDClick(liste.viewport(), Qt::LeftButton, {}, p);
    };
    setze({14});
    doppelklick(15);
    EXPECT_EQ(angehakt(liste), (std::vector<int>{14, 15}));
    setze({});
    doppelklick(6);
    EXPECT_EQ(angehakt(liste), (std::vector<int>{6}));
    EXPECT_TRUE(dialoge.boxen.empty()) << "no script warning on a double-click";
}

TEST_F(OptionenListboxTest, PlainSetAppliesNoInterlockAndShowsNothing) {
    setze({6, 7, 14, 15});
    EXPECT_EQ(angehakt(liste), (std::vector<int>{6, 7, 14, 15}));
    EXPECT_TRUE(dialoge.boxen.empty());
    Optionsmenge erwartet;
    for (int i = 0; i < kOptionCount; ++i) erwartet.set(i, i == 6 || i == 7 || i == 14 || i == 15);
    EXPECT_EQ(liste.zustand(), erwartet);
}

}  // namespace
}  // namespace quintaro::ui
