#include "CListBox.h"

#include <QLayout>
#include <QListWidget>
#include <vector>

#include "CTabStopDelegate.h"

namespace {

bool IsMultipleSelection(const QListWidget* listBox) {
    const auto mode = listBox->selectionMode();
    return mode == QAbstractItemView::MultiSelection ||
           mode == QAbstractItemView::ExtendedSelection;
}

// The settings a list carries as a window, its own properties (the control id) included.
void CopySettings(const QListWidget* from, QListWidget* to) {
    to->setSortingEnabled(from->isSortingEnabled());
    to->setSelectionMode(from->selectionMode());
    to->setFrameShape(from->frameShape());
    to->setVerticalScrollBarPolicy(from->verticalScrollBarPolicy());
    to->setHorizontalScrollBarPolicy(from->horizontalScrollBarPolicy());
    to->setSizePolicy(from->sizePolicy());
    to->setMinimumSize(from->minimumSize());
    to->setMaximumSize(from->maximumSize());
    to->setFocusPolicy(from->focusPolicy());
    to->setEnabled(from->isEnabled());
    to->setObjectName(from->objectName());
    for (const QByteArray& name : from->dynamicPropertyNames()) {
        to->setProperty(name.constData(), from->property(name.constData()));
    }
    if (from->testAttribute(Qt::WA_SetFont)) {
        to->setFont(from->font());
    }
}

// Takes the old list's place: the layout's slot, or else its rectangle; its stacking; its tab
// order.
void TakePlace(QListWidget* old, QListWidget* replacement) {
    QWidget* parent = old->parentWidget();
    QLayoutItem* slot =
        parent->layout() ? parent->layout()->replaceWidget(old, replacement) : nullptr;
    if (!slot) {
        replacement->setGeometry(old->geometry());
    }
    delete slot;  // the old list's item, handed back to the caller
    replacement->stackUnder(old);
    QWidget::setTabOrder(old, replacement);
    replacement->setVisible(old->isVisibleTo(parent));
}

void CopyRows(const QListWidget* from, QListWidget* to) {
    const bool multiple = IsMultipleSelection(from);
    for (int row = 0; row < from->count(); ++row) {
        const QListWidgetItem* item = from->item(row);
        QListWidgetItem* copy = item->clone();
        to->addItem(copy);
        if (multiple) {
            copy->setSelected(item->isSelected());
        }
    }
}

// The first row, from the top, whose text is exactly the given one.
int FindStringExact(const QListWidget* listBox, const QString& text) {
    for (int row = 0; row < listBox->count(); ++row) {
        if (listBox->item(row)->text() == text) {
            return row;
        }
    }
    return -1;
}

}  // namespace

void CListBox::SetTabStops(QListWidget* listBox, int count, const int* stops) {
    QAbstractItemDelegate* previous = listBox->itemDelegate();
    listBox->setItemDelegate(new CTabStopDelegate(std::vector<int>(stops, stops + count), listBox));
    if (previous && previous->parent() == listBox) {
        previous->deleteLater();
    }
}

bool CListBox::RecreateListBox(QListWidget*& listBox) {
    if (!listBox || !listBox->parentWidget()) {
        return false;
    }
    QListWidget* old = listBox;
    auto* replacement = new QListWidget(old->parentWidget());
    CopySettings(old, replacement);
    CopyRows(old, replacement);
    if (!IsMultipleSelection(old) && old->currentItem()) {
        const int row = FindStringExact(replacement, old->currentItem()->text());
        if (row >= 0) {
            replacement->setCurrentRow(row);
        }
    }
    TakePlace(old, replacement);
    const bool hadFocus = old->hasFocus();
    delete old;
    if (hadFocus) {
        replacement->setFocus();
    }
    listBox = replacement;
    return true;
}
