#include "qt/about_dialog.h"

#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>

#include "qt/dialog_metrics.h"
#include "qt/icon_pixels.h"

namespace vorlen {
namespace {

// Laid out in dialog units like the form.
constexpr Rect kAboutRect{0, 0, 235, 55};
constexpr Rect kIconRect{11, 17, 20, 20};
constexpr Rect kVersionRect{40, 10, 119, 8};
constexpr Rect kNoticeRect{40, 25, 119, 8};
constexpr Rect kOkRect{178, 7, 50, 14};

}  // namespace

// From the pixels compiled in, without an image reader: see icon_pixels.h.
QIcon ApplicationIcon() {
    const QImage picture(reinterpret_cast<const uchar*>(kIconPixels), kIconSide, kIconSide,
                         QImage::Format_ARGB32);
    return QIcon(QPixmap::fromImage(picture));
}

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("About Vorlen"));
    setFont(DialogFont());
    const BaseUnits base = BaseUnitsOf(font());
    setFixedSize(PixelRect(kAboutRect, base).size());

    auto* icon = new QLabel(this);
    const QRect iconArea = PixelRect(kIconRect, base);
    icon->setGeometry(iconArea);
    icon->setPixmap(ApplicationIcon().pixmap(iconArea.size()));

    auto* version = new QLabel(QStringLiteral("Vorlen Version 1.04"), this);
    version->setTextFormat(Qt::PlainText);
    version->setGeometry(PixelRect(kVersionRect, base));

    auto* notice = new QLabel(QStringLiteral("GPS/GPRS tracker set-up"), this);
    notice->setTextFormat(Qt::PlainText);
    notice->setGeometry(PixelRect(kNoticeRect, base));

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setDefault(true);
    ok->setGeometry(PixelRect(kOkRect, base));
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

}  // namespace vorlen
