#pragma once

class QListWidget;

// What the platform's list box offers beyond Qt's list widget: tab stops in dialog units, and
// re-creation, which is how a changed sort setting reaches rows already in the list.
class CListBox {
public:
    static void SetTabStops(QListWidget* listBox, int count, const int* stops);

    // Replaces the list by a new one with its settings (sorting included), place in the layout,
    // stacking and tab order, and hands it each old row in order: a sorted list thus takes them
    // in text order. A single-selection list keeps its current row by text, a multiple-selection
    // list the selection of every row. listBox then points at the new list; the old one is gone.
    // False, changing nothing, when there is no list or it has no parent.
    static bool RecreateListBox(QListWidget*& listBox);
};
