// When an input counts as changed. The input handlers of the window rely on these rules, and
// on the cascades they produce, so they live here, once, and not in every handler:
//
// - a typed text counts when the user commits it (Enter, or the focus leaving the box);
// - a pick from a list counts at once, and so does every change the program makes;
// - a handler runs only when the value really changes (committing an unchanged text or
//   re-picking the selected item raises nothing);
// - emptying a list drops its selection and raises with no item selected; adding items raises
//   nothing; selecting an item raises;
// - of two radio buttons, the one that lost the selection raises first (Qt's own order:
//   the old button is cleared before the new one reports, and both see the final state).
//
// The window connects each adapter's changed() to its handler, and makes its own changes of
// an input through the adapter (or through the widget's ordinary setters), never by blocking
// signals.
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

class QComboBox;
class QLineEdit;
class QRadioButton;

namespace pile::ui {

// An edit box or the edit part of an editable drop-down list. Its value is its text.
class TextChange : public QObject {
    Q_OBJECT

  public:
    // Takes the text the box holds now as already committed: loading the form raises nothing.
    explicit TextChange(QLineEdit* edit);

    const QString& Committed() const { return committed_; }

    // A change made by the program: counts at once, when it changes the text.
    void SetText(const QString& text);

  Q_SIGNALS:
    void changed();

  protected:
    // Runs `change` without committing what it does to the text; the text it leaves is taken
    // as committed. For changes that the rules say raise nothing.
    template <typename Change>
    void Quietly(Change change) {
        const bool wasMuted = muted_;
        muted_ = true;
        change();
        muted_ = wasMuted;
        userEditPending_ = false;
        committed_ = CurrentText();
    }

  private:
    QString CurrentText() const;
    void OnTextChanged();
    void Commit();

    QLineEdit* edit_;
    QString committed_;
    bool userEditPending_ = false;  // the text change under way comes from typing
    bool muted_ = false;
};

// An editable drop-down list (QComboBox::isEditable): the text rules of TextChange, and the
// list operations of the input handlers.
class ComboTextChange : public TextChange {
    Q_OBJECT

  public:
    // Turns off what would make the committed text differ from the typed one: inline
    // completion ("1" + Enter would commit "1000") and the insertion of typed texts.
    explicit ComboTextChange(QComboBox* box);

    // Replaces the list. The text stays as it is and nothing is selected; raises nothing.
    void ReplaceItems(const QStringList& items);

    // Picks an item as the program: raises when the text changes.
    void Select(int index);

  private:
    QComboBox* box_;
};

// A plain drop-down list. Its value is its selection index, -1 for none.
class ListChange : public QObject {
    Q_OBJECT

  public:
    explicit ListChange(QComboBox* box);

    // Removes all items (raises with -1 when an item was selected), then adds `items` (raises
    // nothing; Qt would select the first one by itself, which is undone). Nothing is selected.
    void ReplaceItems(const QStringList& items);

    // Raises when the index changes.
    void Select(int index);

  Q_SIGNALS:
    void changed();

  private:
    void OnIndexChanged();

    QComboBox* box_;
    bool muted_ = false;
};

// A radio button; raises on every change of its checked state, selected or deselected.
class RadioChange : public QObject {
    Q_OBJECT

  public:
    explicit RadioChange(QRadioButton* button);

  Q_SIGNALS:
    void changed();
};

}  // namespace pile::ui
