#pragma once

#include <QProxyStyle>

namespace zq2 {

// The desktop's own style, with the keyboard focus drawn so that it is seen on every control and on
// any skin colour. Many styles draw the focus in a pale tint of the selection colour: faint on a
// plain window, lost on a selected row or a skinned back colour, and a file list shows no focus at
// all. Here the focus line takes whichever of the palette's colours stands out against what lies
// under it, and a list that has the focus is framed in the selection colour, as a text box is.
class FocusVisibleStyle final : public QProxyStyle {
    Q_OBJECT
public:
    using QProxyStyle::QProxyStyle;

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget = nullptr) const override;
};

// Makes FocusVisibleStyle the style of every window of the program.
void useFocusVisibleStyle();

} // namespace zq2
