#include "appearance/widgets/skinning.h"

#include "appearance/colours.h"
#include "platform/regularfile.h"

#include <QApplication>
#include <QEvent>
#include <QImage>
#include <QImageReader>
#include <QLabel>
#include <QMainWindow>
#include <QPainter>
#include <QPixmap>
#include <QWidget>

namespace zq2 {

namespace {

// Largest picture accepted, counted as 4 bytes a pixel after decoding.
constexpr qint64 kMaxPictureBytes = 64LL * 1024 * 1024;
const char* const kPainterName = "zq2SkinPicture";

// Paints the picture first thing in the paint event of the widget it watches, so that the widget's
// children, painted afterwards, lie on top of it. Not a child widget of its own: the window's focus
// chain, layout and list of controls stay as designed.
class PicturePainter final : public QObject {
    Q_OBJECT

public:
    PicturePainter(QWidget* target, const QPixmap& pixmap)
        : QObject(target)
        , target_(target)
        , pixmap_(pixmap) {
        setObjectName(QLatin1String(kPainterName));
        target->installEventFilter(this);
    }

    QSize size() const { return pixmap_.size(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == target_ && event->type() == QEvent::Paint) {
            QPainter painter(target_);
            painter.drawPixmap(0, 0, pixmap_);
        }
        return false;
    }

private:
    QWidget* target_;
    QPixmap pixmap_;
};

// The widget whose area is the window's client area.
QWidget* clientArea(QWidget* window) {
    if (auto* mainWindow = qobject_cast<QMainWindow*>(window); mainWindow != nullptr) {
        if (QWidget* central = mainWindow->centralWidget(); central != nullptr)
            return central;
    }
    return window;
}

PicturePainter* painterOf(const QWidget* area) {
    return area->findChild<PicturePainter*>(QLatin1String(kPainterName), Qt::FindDirectChildrenOnly);
}

QImage readPicture(const QString& path) {
    if (path.isEmpty())
        return {};
    const std::unique_ptr<QFile> file = openRegularFile(path);
    if (!file)
        return {};
    QImageReader reader(file.get());
    reader.setDecideFormatFromContent(true);
    const QSize declared = reader.size();
    if (declared.isValid() && qint64(declared.width()) * declared.height() * 4 > kMaxPictureBytes)
        return {};
    QImage image;
    if (!reader.read(&image))
        return {};
    return image;
}

} // namespace

void setBackgroundPicture(QWidget* window, const QString& path) {
    if (window == nullptr)
        return;
    QWidget* area = clientArea(window);
    delete painterOf(area);
    area->update();

    const QImage image = readPicture(path);
    if (image.isNull())
        return;
    new PicturePainter(area, QPixmap::fromImage(image));
    // Labels show the picture through their text rather than a plain box around it.
    for (QLabel* label : window->findChildren<QLabel*>())
        label->setAutoFillBackground(false);
}

QSize backgroundPictureSize(const QWidget* window) {
    if (window == nullptr)
        return {};
    const PicturePainter* painter = painterOf(clientArea(const_cast<QWidget*>(window)));
    return painter != nullptr ? painter->size() : QSize();
}

void setBackColour(QWidget* widget, ColourValue colour) {
    if (widget == nullptr)
        return;
    // System colours come from the desktop's palette, not from a coloured frame around the control.
    // Buttons, check boxes among them, fill their background from the Button role, frames from Window.
    const QColor colourShown = toQColor(colour, QApplication::palette(widget));
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colourShown);
    palette.setColor(widget->backgroundRole(), colourShown);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

void setOverLimitColour(QWidget* label, bool overLimit) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, overLimit ? QColor(255, 0, 0) : QColor(0, 0, 0));
    label->setPalette(palette);
}

void applyMainWindowSkin(QMainWindow* window, const MainWindowSkin& skin, QWidget* frame1, QWidget* frame2) {
    if (skin.picture)
        setBackgroundPicture(window, *skin.picture);
    if (skin.frame1)
        setBackColour(frame1, *skin.frame1);
    if (skin.frame2)
        setBackColour(frame2, *skin.frame2);
}

void turnOffMainWindowSkin(QMainWindow* window, QWidget* frame1, QWidget* frame2) {
    setBackgroundPicture(window, QString());
    setBackColour(frame1, kFaceColour);
    setBackColour(frame2, kFaceColour);
}

} // namespace zq2

#include "skinning.moc"
