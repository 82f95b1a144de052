#include "change_events.h"

#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>

namespace pile::ui {

TextChange::TextChange(QLineEdit* edit) : QObject(edit), edit_(edit), committed_(edit->text()) {
    // QLineEdit reports a typed change with textEdited and then textChanged; a change made by
    // the program (setText, a combo box writing a picked item) with textChanged alone.
    connect(edit_, &QLineEdit::textEdited, this, [this] { userEditPending_ = true; });
    connect(edit_, &QLineEdit::textChanged, this, &TextChange::OnTextChanged);
    connect(edit_, &QLineEdit::editingFinished, this, &TextChange::Commit);
}

void TextChange::SetText(const QString& text) {
    edit_->setText(text);
}

QString TextChange::CurrentText() const {
    return edit_->text();
}

void TextChange::OnTextChanged() {
    if (muted_) {
        return;
    }
    if (userEditPending_) {
        userEditPending_ = false;  // typing: counts when committed
        return;
    }
    Commit();
}

void TextChange::Commit() {
    if (muted_ || edit_->text() == committed_) {
        return;
    }
    committed_ = edit_->text();
    Q_EMIT changed();
}

ComboTextChange::ComboTextChange(QComboBox* box) : TextChange(box->lineEdit()), box_(box) {
    box_->setInsertPolicy(QComboBox::NoInsert);
    box_->setCompleter(nullptr);
}

void ComboTextChange::ReplaceItems(const QStringList& items) {
    Quietly([this, &items] {
        const QString text = box_->currentText();
        box_->clear();
        box_->addItems(items);
        box_->setCurrentIndex(-1);
        box_->setEditText(text);
    });
}

void ComboTextChange::Select(int index) {
    box_->setCurrentIndex(index);
}

ListChange::ListChange(QComboBox* box) : QObject(box), box_(box) {
    connect(box_, &QComboBox::currentIndexChanged, this, &ListChange::OnIndexChanged);
}

void ListChange::ReplaceItems(const QStringList& items) {
    box_->clear();
    muted_ = true;
    box_->addItems(items);
    box_->setCurrentIndex(-1);
    muted_ = false;
}

void ListChange::Select(int index) {
    box_->setCurrentIndex(index);
}

void ListChange::OnIndexChanged() {
    if (!muted_) {
        Q_EMIT changed();
    }
}

RadioChange::RadioChange(QRadioButton* button) : QObject(button) {
    connect(button, &QRadioButton::toggled, this, &RadioChange::changed);
}

}  // namespace pile::ui
