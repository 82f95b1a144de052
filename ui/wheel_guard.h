// A wheel turned over a closed drop-down list picks another item, and with it runs the list's
// change handler: over the precision pop-up that re-runs the calculation and appends a record,
// over the section type it reshapes the panel. A person scrolling past a list means neither,
// so the wheel is taken away from closed lists; only a click or the keys while the list has
// the focus pick an item. An open list is a window of its own and scrolls as usual.
#pragma once

#include <QObject>

class QComboBox;

namespace pile::ui {

class ClosedListWheelGuard : public QObject {
    Q_OBJECT

  public:
    using QObject::QObject;

    // Guards `box` (an editable one too: the wheel over its text part reaches the list).
    void Guard(QComboBox* box);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace pile::ui
