#include "CTabStopDelegate.h"

#include <QApplication>
#include <QFontMetrics>
#include <QPainter>
#include <QStyle>
#include <QTextOption>

CTabStopDelegate::CTabStopDelegate(std::vector<int> stops, QObject* parent)
    : QStyledItemDelegate(parent), m_Stops(std::move(stops)) {}

// The platform's dialog base unit: the average width of the 52 Latin letters, rounded.
QList<qreal> CTabStopDelegate::TabArray(const QFont& font) const {
    const int letters = QFontMetrics(font).horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    const int baseUnit = (letters / 26 + 1) / 2;
    QList<qreal> tabs;
    for (const int stop : m_Stops) {
        tabs.append(stop * baseUnit / 4.0);
    }
    return tabs;
}

void CTabStopDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const {
    QStyleOptionViewItem item = option;
    initStyleOption(&item, index);
    const QString text = item.text;
    item.text.clear();
    const QStyle* style = item.widget ? item.widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &item, painter, item.widget);

    const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, item.widget) + 1;
    const QRect area = style->subElementRect(QStyle::SE_ItemViewItemText, &item, item.widget)
                           .adjusted(margin, 0, -margin, 0);
    QTextOption layout(Qt::AlignLeft | Qt::AlignVCenter);
    layout.setWrapMode(QTextOption::NoWrap);
    layout.setTabArray(TabArray(item.font));
    const QPalette::ColorGroup group =
        item.state & QStyle::State_Enabled ? QPalette::Normal : QPalette::Disabled;
    const QPalette::ColorRole role =
        item.state & QStyle::State_Selected ? QPalette::HighlightedText : QPalette::Text;
    painter->save();
    painter->setFont(item.font);
    painter->setPen(item.palette.color(group, role));
    painter->drawText(area, text, layout);
    painter->restore();
}
