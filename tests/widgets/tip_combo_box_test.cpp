#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <gtest/gtest.h>

#include "tip_test_support.h"
#include "widgets/tip_combo_box.h"

namespace vorlen {
namespace {

const QString kLongEntry = QStringLiteral("Custom Electric Fence");

class TipComboBoxTest : public testing::Test {
protected:
    void SetUp() override {
        window_.resize(400, 200);
        combo_ = new TipComboBox(&window_);
        combo_->addItems({kLongEntry, QStringLiteral("Off")});
        combo_->setGeometry(20, 20, 90, combo_->sizeHint().height());
        other_ = new QLineEdit(&window_);
        other_->move(20, 120);
        window_.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window_));
    }

    TipWindow* tip() const {
        return combo_->findChild<TipWindow*>(QString(), Qt::FindDirectChildrenOnly);
    }

    QRect arrow() const {
        QStyleOptionComboBox option;
        option.initFrom(combo_);
        option.subControls = QStyle::SC_All;
        return combo_->style()->subControlRect(QStyle::CC_ComboBox, &option,
                                               QStyle::SC_ComboBoxArrow, combo_);
    }

    // The part of the field the tip answers for: all but the arrow and two
    // pixels beside it.
    QRect area() const { return combo_->rect().adjusted(0, 0, -(arrow().width() + 2), 0); }

    QPoint inArea() const { return {area().center().x(), area().center().y()}; }

    void showTip() {
        cursor_.moveTo(combo_, inArea());
        ASSERT_TRUE(tip()->isVisible());
    }

    QWidget window_;
    TipComboBox* combo_ = nullptr;
    QLineEdit* other_ = nullptr;
    FakeCursor cursor_;
};

TEST_F(TipComboBoxTest, ShowsOnlyTextsWiderThanTheAreaLessSix) {
    const int textWidth = combo_->fontMetrics().horizontalAdvance(kLongEntry);
    // The area narrows by a pixel instead of the text widening by one.
    const struct {
        int overhang;
        bool shown;
    } cases[] = {{-1, false}, {0, false}, {1, true}, {20, true}};
    for (const auto& c : cases) {
        const int areaWidth = textWidth + 6 - c.overhang;
        combo_->resize(areaWidth + arrow().width() + 2, combo_->height());
        ASSERT_EQ(area().width(), areaWidth);
        cursor_.moveTo(combo_, inArea());
        EXPECT_EQ(tip()->isVisible(), c.shown) << "overhang " << c.overhang;
    }
}

TEST_F(TipComboBoxTest, TheArrowAndTheTwoPixelsBesideItHideTheTip) {
    const int y = area().center().y();
    const struct {
        QPoint pos;
        bool shown;
    } cases[] = {
        {{0, y}, true},
        {{area().right(), y}, true},
        {{area().right() + 1, y}, false},
        {{area().right() + 2, y}, false},
        {arrow().center(), false},
    };
    for (const auto& c : cases) {
        showTip();
        cursor_.moveTo(combo_, c.pos);
        EXPECT_EQ(tip()->isVisible(), c.shown) << c.pos.x() << "," << c.pos.y();
    }
}

TEST_F(TipComboBoxTest, NothingSelectedShowsNothing) {
    showTip();
    combo_->setCurrentIndex(-1);
    cursor_.moveTo(combo_, inArea());
    EXPECT_FALSE(tip()->isVisible());
}

TEST_F(TipComboBoxTest, TipLiesOverTheFieldTextInTheFieldsFont) {
    // The window's font reaches the combo after the combo and its tip exist.
    QFont font = window_.font();
    font.setPointSize(font.pointSize() + 5);
    window_.setFont(font);
    combo_->setCurrentText(kLongEntry);
    showTip();

    const QFontMetrics metrics(font);
    EXPECT_EQ(tip()->text(), kLongEntry);
    EXPECT_EQ(tip()->font(), combo_->font());
    EXPECT_EQ(tip()->geometry(),
              QRect(combo_->mapToGlobal(QPoint(1, 3)),
                    QSize(metrics.horizontalAdvance(kLongEntry), metrics.height()) + QSize(2, 2)));
}

TEST_F(TipComboBoxTest, HighlightedWithTheFocusAndLikeTheFieldWithout) {
    QPalette colors = combo_->palette();
    colors.setColor(QPalette::Highlight, Qt::darkBlue);
    colors.setColor(QPalette::HighlightedText, Qt::yellow);
    colors.setColor(QPalette::Base, Qt::lightGray);
    colors.setColor(QPalette::Text, Qt::darkGreen);
    combo_->setPalette(colors);
    window_.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window_));

    const struct {
        QWidget* focus;
        QColor background;
        QColor text;
    } cases[] = {
        {combo_, Qt::darkBlue, Qt::yellow},
        {other_, Qt::lightGray, Qt::darkGreen},
        {combo_, Qt::darkBlue, Qt::yellow},
    };
    for (const auto& c : cases) {
        c.focus->setFocus();
        ASSERT_TRUE(QTest::qWaitFor([&] { return c.focus->hasFocus(); }));
        showTip();
        EXPECT_EQ(tip()->palette().color(QPalette::Window), c.background);
        EXPECT_EQ(tip()->palette().color(QPalette::WindowText), c.text);
    }
}

TEST_F(TipComboBoxTest, GivesWayToTheOpeningList) {
    showTip();
    combo_->showPopup();
    EXPECT_FALSE(tip()->isVisible());
}

TEST_F(TipComboBoxTest, HidesWithItsWindow) {
    showTip();
    window_.hide();
    EXPECT_FALSE(tip()->isVisible());
}

// The real cursor this time: the field tracks the mouse, and the check
// reads QCursor::pos() once no fake cursor is set.
TEST_F(TipComboBoxTest, StaysWhileTheCursorRestsAndHidesOnceItLeaves) {
    setCursorSource({});
    QTest::mouseMove(combo_, inArea());
    ASSERT_TRUE(QTest::qWaitFor([this] { return tip()->isVisible(); }));
    QTest::qWait(4 * kTipCheckInterval.count());
    EXPECT_TRUE(tip()->isVisible());

    QTest::mouseMove(other_);
    EXPECT_TRUE(hiddenSoon(tip()));
}

}  // namespace
}  // namespace vorlen
