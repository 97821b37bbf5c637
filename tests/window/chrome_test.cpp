// The window's outside: its geometry in dialog units, its frame, the about
// box and the message box.
#include <QAction>
#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

#include "app/about_dialog.h"
#include "form/control_ids.h"
#include "form/dialog_layout.h"
#include "form/dialog_metrics.h"
#include "form/message_box.h"
#include "window_fixture.h"

namespace vorlen::testing {
namespace {

// Runs `inspect` on the modal box that the next call opens, then lets
// `close` end it, so a test can look inside a modal loop.
void WhenModalOpens(std::function<void(QWidget*)> inspect) {
    QTimer::singleShot(0, [inspect = std::move(inspect)] {
        QWidget* modal = QApplication::activeModalWidget();
        ASSERT_NE(modal, nullptr);
        inspect(modal);
    });
}

QStringList LabelTexts(const QWidget* box) {
    QStringList texts;
    for (const QLabel* label : box->findChildren<QLabel*>()) {
        texts << label->text();
    }
    return texts;
}

class Chrome : public ::testing::Test {
protected:
    FakeMachine machine;
    TrackerConfigDialog form{machine.Services()};
};

// The base units Windows would take from this font: the 52 letters' width
// over 26, plus one, halved; and the font's height.
TEST_F(Chrome, EveryControlSitsAtItsDialogUnitRectangle) {
    const QFontMetrics metrics(form.font());
    const int baseX = (metrics.horizontalAdvance(
                           "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz") / 26 + 1) / 2;
    const int baseY = metrics.height();
    ASSERT_EQ(form.DialogBaseUnits(), (BaseUnits{baseX, baseY}));

    const auto x = [&](int units) { return (2 * units * baseX + 4) / 8; };
    const auto y = [&](int units) { return (2 * units * baseY + 8) / 16; };
    for (const DialogControl& row : DialogLayout()) {
        if (row.id == kNoControlId) {
            continue;
        }
        const int height = row.kind == ControlKind::DropDownList ? 14 : row.rect.height;
        const QRect expected(QPoint(x(row.rect.x), y(row.rect.y)),
                             QPoint(x(row.rect.x + row.rect.width) - 1, y(row.rect.y + height) - 1));
        EXPECT_EQ(form.Control(row.id)->geometry(), expected) << row.id;
        EXPECT_EQ(form.Control(row.id)->isHidden(), row.Has(control_flag::kHidden)) << row.id;
    }
    EXPECT_EQ(form.minimumSize(), QSize(x(472), y(325)));
    EXPECT_EQ(form.maximumSize(), QSize(x(472), y(325)));
}

TEST_F(Chrome, WindowIsVorlenWithAMinimiseButNoMaximiseBox) {
    EXPECT_EQ(form.windowTitle(), "Vorlen");
    EXPECT_TRUE(form.windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_FALSE(form.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_TRUE(form.windowFlags().testFlag(Qt::WindowCloseButtonHint));
    EXPECT_FALSE(form.windowIcon().isNull());
}

TEST_F(Chrome, AboutItemIsInTheContextMenuAndOnF1) {
    EXPECT_EQ(form.contextMenuPolicy(), Qt::ActionsContextMenu);
    ASSERT_EQ(form.actions().size(), 1);
    QAction* about = form.actions().front();
    EXPECT_EQ(about->text(), "&About Vorlen...");
    EXPECT_EQ(about->shortcut(), QKeySequence(Qt::Key_F1));

    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    bool opened = false;
    WhenModalOpens([&](QWidget* box) {
        opened = true;
        EXPECT_EQ(box->windowTitle(), "About Vorlen");
        qobject_cast<QDialog*>(box)->reject();
    });
    QTest::keyClick(&form, Qt::Key_F1);
    EXPECT_TRUE(opened);
}

TEST(AboutBox, ShowsTheIconVersionAndOkInItsDialogUnits) {
    AboutDialog about;
    const BaseUnits base = BaseUnitsOf(about.font());
    EXPECT_EQ(about.windowTitle(), "About Vorlen");
    EXPECT_EQ(about.size(), QSize(ToPixels({0, 0, 235, 55}, base).width,
                                  ToPixels({0, 0, 235, 55}, base).height));
    EXPECT_TRUE(LabelTexts(&about).contains("Vorlen Version 1.04"));

    bool hasIcon = false;
    for (const QLabel* label : about.findChildren<QLabel*>()) {
        hasIcon = hasIcon || !label->pixmap().isNull();
    }
    EXPECT_TRUE(hasIcon);

    auto* ok = about.findChild<QPushButton*>();
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(ok->text(), "OK");
    EXPECT_TRUE(ok->isDefault());
    WhenModalOpens([ok](QWidget*) { ok->click(); });
    EXPECT_EQ(about.exec(), QDialog::Accepted);
}

TEST(MessageBox, IsModalWithTheCaptionAndTheGbkTextDecoded) {
    const struct {
        MessageButtons buttons;
        QMessageBox::StandardButton pressed;
        MessageAnswer answer;
    } cases[] = {
        {MessageButtons::Ok, QMessageBox::Ok, MessageAnswer::Ok},
        {MessageButtons::OkCancel, QMessageBox::Ok, MessageAnswer::Ok},
        {MessageButtons::OkCancel, QMessageBox::Cancel, MessageAnswer::Cancel},
    };
    for (const auto& c : cases) {
        WhenModalOpens([&](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            ASSERT_NE(box, nullptr);
            EXPECT_EQ(box->windowTitle(), "Vorlen");
            EXPECT_EQ(box->text(), "请输入中心号码");
            EXPECT_EQ(box->button(QMessageBox::Cancel) != nullptr,
                      c.buttons == MessageButtons::OkCancel);
            box->button(c.pressed)->click();
        });
        EXPECT_EQ(ShowMessageBox(nullptr, GbkOf("请输入中心号码"), "Vorlen", c.buttons), c.answer);
    }
}

}  // namespace
}  // namespace vorlen::testing
