// OptionenListbox: the nineteen options as a check list. A toggle by the user applies the
// interlocks of the alternative pairs; a double-click inverts a tick without them.
#pragma once

#include <QListWidget>

#include "engine/optionen.h"

namespace quintaro::ui {

class Dialoge;

class OptionenListbox : public QListWidget {
    Q_OBJECT
  public:
    OptionenListbox(Dialoge& dialoge, QWidget* parent = nullptr);

    bool option(int index) const;
    // A plain change: no interlock, no message.
    void setzeOption(int index, bool an);
    Optionsmenge zustand() const;

    // The list's events.
    void OptionenListboxClickCheck(int zeile);
    void OptionenListboxDblClick();

  private:
    void alleSetzen(const Optionsmenge& zustand);

    Dialoge& dialoge_;
    bool programmAendert_ = false;
};

}  // namespace quintaro::ui
