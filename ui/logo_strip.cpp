#include "logo_strip.h"

#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace pile::ui {

namespace {

constexpr double kPictureScale = 0.2;
// The picture: a pile standing in soil and socketed into rock, and the program's mark.
constexpr QSizeF kPictureSize(1500, 150);

void DrawPicture(QPainter& painter) {
    const QColor rock(0x8B, 0x5A, 0x2B);
    const QColor pile(0x70, 0x80, 0x90);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0xD2, 0xB4, 0x8C));
    painter.drawRect(QRectF(0, 20, 180, 60));  // soil
    painter.setBrush(rock);
    painter.drawRect(QRectF(0, 80, 180, 60));  // rock
    painter.setBrush(pile);
    painter.drawRect(QRectF(70, 0, 40, 120));  // the pile, socketed 40 deep into the rock

    QFont mark;
    mark.setFamilies({QStringLiteral("Noto Sans CJK SC")});
    mark.setPixelSize(96);
    mark.setBold(true);
    painter.setFont(mark);
    painter.setPen(QColor(0x1E, 0x90, 0xFF));
    painter.drawText(QRectF(220, 0, kPictureSize.width() - 220, kPictureSize.height()),
                     Qt::AlignVCenter | Qt::AlignLeft, QStringLiteral("BXV  DBJ50-047-2016"));
}

}  // namespace

LogoStrip::LogoStrip(QWidget* parent) : QWidget(parent) {}

void LogoStrip::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QRadialGradient background(rect().center(), width() / 2.0);
    background.setColorAt(0, QColor(0xF5, 0xBD, 0xBD));
    background.setColorAt(1, Qt::white);
    painter.fillRect(rect(), background);

    const QSizeF drawn = kPictureSize * kPictureScale;
    painter.translate((width() - drawn.width()) / 2, (height() - drawn.height()) / 2);
    painter.scale(kPictureScale, kPictureScale);
    DrawPicture(painter);
}

}  // namespace pile::ui
