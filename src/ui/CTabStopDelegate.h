#pragma once

#include <QStyledItemDelegate>
#include <QTextOption>
#include <vector>

// Draws a list's rows with tab stops in dialog units (a quarter of the font's average character
// width), so that tab-separated rows line up in columns as in the platform's list box.
class CTabStopDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    CTabStopDelegate(std::vector<int> stops, QObject* parent);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    // As wide as the row drawn at the stops, so that a list asks for no more room than it needs.
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    // The stops in pixels for a font.
    QList<qreal> TabArray(const QFont& font) const;
    // The text's area inside a row, and its layout at the stops.
    static int TextMargin(const QStyleOptionViewItem& item);
    static QRect TextArea(const QStyleOptionViewItem& item);
    QTextOption Layout(const QFont& font) const;

    std::vector<int> m_Stops;
};
