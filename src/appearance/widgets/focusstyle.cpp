#include "appearance/widgets/focusstyle.h"

#include "appearance/colours.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QPainter>
#include <QStyleOption>

namespace zq2 {

namespace {

// What the focus line is drawn on: a selected row gives its colour with the option, anything else
// is the control's own background.
QColor backgroundUnder(const QStyleOption* option, const QWidget* widget) {
    if (const auto* focus = qstyleoption_cast<const QStyleOptionFocusRect*>(option);
        focus != nullptr && focus->backgroundColor.isValid())
        return focus->backgroundColor;
    return widget != nullptr ? widget->palette().color(widget->backgroundRole())
                             : option->palette.color(QPalette::Window);
}

QColor focusColour(const QStyleOption* option, const QWidget* widget) {
    const QPalette& palette = option->palette;
    return mostVisibleOn(backgroundUnder(option, widget),
                         {palette.color(QPalette::Highlight), palette.color(QPalette::WindowText),
                          palette.color(QPalette::HighlightedText)});
}

void drawOutline(QPainter* painter, const QRect& rect, const QColor& colour) {
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, false);
    painter->setPen(QPen(colour, 1));
    painter->setBrush(Qt::NoBrush);
    painter->drawRect(rect.adjusted(0, 0, -1, -1));
    painter->restore();
}

} // namespace

void FocusVisibleStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                                      const QWidget* widget) const {
    // As the desktop does, a line shows where the keyboard has moved the focus; a click needs no
    // line to tell where it went. Text boxes and lists show it whenever they have the focus, since
    // what is typed goes to them.
    const bool keyboardFocus =
        (option->state & State_HasFocus) && (option->state & State_KeyboardFocusChange);
    switch (element) {
    case PE_FrameFocusRect:
        if (option->state & State_KeyboardFocusChange)
            drawOutline(painter, option->rect, focusColour(option, widget));
        return;
    case PE_PanelButtonCommand:
        QProxyStyle::drawPrimitive(element, option, painter, widget);
        // Inside the border, apart from the outline that marks the default button.
        if (keyboardFocus)
            drawOutline(painter, option->rect.adjusted(3, 3, -3, -3), focusColour(option, widget));
        return;
    case PE_FrameLineEdit:
        QProxyStyle::drawPrimitive(element, option, painter, widget);
        if (option->state & State_HasFocus)
            drawOutline(painter, option->rect.adjusted(1, 1, -1, -1), focusColour(option, widget));
        return;
    case PE_Frame:
        QProxyStyle::drawPrimitive(element, option, painter, widget);
        if ((option->state & State_HasFocus) && qobject_cast<const QAbstractItemView*>(widget) != nullptr)
            drawOutline(painter, option->rect, focusColour(option, widget));
        return;
    default:
        QProxyStyle::drawPrimitive(element, option, painter, widget);
    }
}

void useFocusVisibleStyle() {
    QApplication::setStyle(new FocusVisibleStyle());
}

} // namespace zq2
