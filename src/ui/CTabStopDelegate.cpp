#include "CTabStopDelegate.h"

#include <QApplication>
#include <QFontMetrics>
#include <QPainter>
#include <QStyle>
#include <QTextLayout>
#include <QTextOption>
#include <cmath>

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

int CTabStopDelegate::TextMargin(const QStyleOptionViewItem& item) {
    const QStyle* style = item.widget ? item.widget->style() : QApplication::style();
    return style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, item.widget) + 1;
}

QRect CTabStopDelegate::TextArea(const QStyleOptionViewItem& item) {
    const QStyle* style = item.widget ? item.widget->style() : QApplication::style();
    const int margin = TextMargin(item);
    return style->subElementRect(QStyle::SE_ItemViewItemText, &item, item.widget)
        .adjusted(margin, 0, -margin, 0);
}

QTextOption CTabStopDelegate::Layout(const QFont& font) const {
    QTextOption layout(Qt::AlignLeft | Qt::AlignVCenter);
    layout.setWrapMode(QTextOption::NoWrap);
    layout.setTabArray(TabArray(font));
    return layout;
}

QSize CTabStopDelegate::sizeHint(const QStyleOptionViewItem& option,
                                 const QModelIndex& index) const {
    QStyleOptionViewItem item = option;
    initStyleOption(&item, index);
    QTextLayout text(item.text, item.font);
    text.setTextOption(Layout(item.font));
    text.beginLayout();
    const qreal width = text.createLine().naturalTextWidth();
    text.endLayout();
    item.text.clear();
    const QStyle* style = item.widget ? item.widget->style() : QApplication::style();
    const int frame =
        style->sizeFromContents(QStyle::CT_ItemViewItem, &item, QSize(), item.widget).width();
    return {frame + int(std::ceil(width)) + 2 * TextMargin(item),
            QStyledItemDelegate::sizeHint(option, index).height()};
}

void CTabStopDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const {
    QStyleOptionViewItem item = option;
    initStyleOption(&item, index);
    const QString text = item.text;
    item.text.clear();
    const QStyle* style = item.widget ? item.widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &item, painter, item.widget);

    const QPalette::ColorGroup group =
        item.state & QStyle::State_Enabled ? QPalette::Normal : QPalette::Disabled;
    const QPalette::ColorRole role =
        item.state & QStyle::State_Selected ? QPalette::HighlightedText : QPalette::Text;
    painter->save();
    painter->setFont(item.font);
    painter->setPen(item.palette.color(group, role));
    painter->drawText(TextArea(item), text, Layout(item.font));
    painter->restore();
}
