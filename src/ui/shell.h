// Opening a file in the program the desktop has registered for its type (the web browser for
// ".html"). Behind an interface so tests can record instead of starting a browser.
#pragma once

#include <QString>

namespace quintaro::ui {

class Shell {
  public:
    virtual ~Shell() = default;
    // Starts the viewer and returns at once, false when none could be started (no xdg-open).
    virtual bool oeffnen(const QString& pfad) = 0;
};

class QtShell : public Shell {
  public:
    bool oeffnen(const QString& pfad) override;
};

}  // namespace quintaro::ui
