#pragma once

#include <QStyledItemDelegate>
#include <vector>

// Draws a list's rows with tab stops in dialog units (a quarter of the font's average character
// width), so that tab-separated rows line up in columns as in the platform's list box.
class CTabStopDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    CTabStopDelegate(std::vector<int> stops, QObject* parent);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

private:
    // The stops in pixels for a font.
    QList<qreal> TabArray(const QFont& font) const;

    std::vector<int> m_Stops;
};
