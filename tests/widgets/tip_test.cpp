// The tips of the tooltip combo box, in its field and in its open list,
// driven as the mouse would: a cursor that the tips' checks read, and mouse
// moves delivered at that cursor.
#include <QAbstractItemView>
#include <QApplication>
#include <QLineEdit>
#include <QListView>
#include <QMouseEvent>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>

#include "qt/cursor_position.h"
#include "qt/tip_combo_box.h"
#include "qt/tip_window.h"

namespace vorlen {
namespace {

class FakeCursor {
public:
    FakeCursor() {
        setCursorSource([this] { return screenPos_; });
    }
    ~FakeCursor() { setCursorSource({}); }
    FakeCursor(const FakeCursor&) = delete;
    FakeCursor& operator=(const FakeCursor&) = delete;

    // Puts the cursor on the widget's point without telling the widget, as
    // when the mouse leaves faster than it reports.
    void jumpTo(const QWidget* widget, const QPoint& pos) { screenPos_ = widget->mapToGlobal(pos); }

    void moveTo(QWidget* widget, const QPoint& pos) {
        jumpTo(widget, pos);
        QMouseEvent move(QEvent::MouseMove, pos, screenPos_, Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QApplication::sendEvent(widget, &move);
    }

private:
    QPoint screenPos_{-1000, -1000};
};

// Long enough for a few checks of a tip, short enough for a test run.
constexpr int kHideTimeoutMs = 1000;

bool hiddenSoon(const TipWindow* tip) {
    return QTest::qWaitFor([tip] { return !tip->isVisible(); }, kHideTimeoutMs);
}

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

const QStringList kEntries = {QStringLiteral("Call and MSG warning"), QStringLiteral("Off"),
                              QStringLiteral("Custom Electric Fence")};

class TipListBoxTest : public testing::Test {
protected:
    void SetUp() override {
        window_.resize(400, 300);
        combo_ = new TipComboBox(&window_);
        combo_->addItems(kEntries);
        combo_->setGeometry(20, 20, 90, combo_->sizeHint().height());
        window_.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window_));
        openList();
    }

    // Qt widens the list to its widest entry; the lines are narrowed back so
    // that the long entries are truncated as in a list held to its combo's
    // width, with room left below the last line.
    void openList() {
        combo_->showPopup();
        QWidget* popup = combo_->view()->window();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(popup));
        popup->resize(combo_->width(), popup->height() + 40);
        ASSERT_TRUE(QTest::qWaitFor([this] { return !belowLastLine().isNull(); }));
    }

    QWidget* viewport() const { return combo_->view()->viewport(); }

    TipWindow* tip() const { return combo_->view()->findChild<TipWindow*>(); }

    QRect line(int row) const {
        return combo_->view()->visualRect(combo_->model()->index(row, 0));
    }

    QPoint belowLastLine() const {
        const QPoint pos(4, line(kEntries.size() - 1).bottom() + 10);
        return viewport()->rect().contains(pos) ? pos : QPoint();
    }

    void moveOver(int row) { cursor_.moveTo(viewport(), line(row).center()); }

    QWidget window_;
    TipComboBox* combo_ = nullptr;
    FakeCursor cursor_;
};

TEST_F(TipListBoxTest, ShowsATruncatedLineInFullOverTheLine) {
    const QPalette& colors = combo_->view()->palette();
    const QFontMetrics metrics(combo_->view()->font());
    for (int row : {0, 2}) {
        moveOver(row);
        ASSERT_TRUE(tip()->isVisible()) << row;
        EXPECT_EQ(tip()->text(), kEntries[row]);
        EXPECT_EQ(tip()->geometry(),
                  QRect(viewport()->mapToGlobal(line(row).topLeft()),
                        QSize(metrics.horizontalAdvance(kEntries[row]), metrics.height())));
        EXPECT_EQ(tip()->palette().color(QPalette::Window), colors.color(QPalette::Highlight));
        EXPECT_EQ(tip()->palette().color(QPalette::WindowText),
                  colors.color(QPalette::HighlightedText));
    }
    moveOver(1);
    EXPECT_FALSE(tip()->isVisible());
}

TEST_F(TipListBoxTest, ShowsOnlyTextsWiderThanTheLineLessThree) {
    QWidget* popup = combo_->view()->window();
    const int textWidth = combo_->view()->fontMetrics().horizontalAdvance(kEntries[0]);
    const struct {
        int overhang;
        bool shown;
    } cases[] = {{-1, false}, {0, false}, {1, true}};
    for (const auto& c : cases) {
        const int lineWidth = textWidth + 3 - c.overhang;
        popup->resize(lineWidth + popup->width() - viewport()->width(), popup->height());
        ASSERT_EQ(viewport()->width(), lineWidth);
        moveOver(0);
        EXPECT_EQ(tip()->isVisible(), c.shown) << "overhang " << c.overhang;
    }
}

TEST_F(TipListBoxTest, BelowTheLastLineNothingChanges) {
    const struct {
        int row;
        bool shown;
    } cases[] = {{0, true}, {1, false}, {2, true}};
    for (const auto& c : cases) {
        moveOver(c.row);
        const QRect before = tip()->geometry();
        cursor_.moveTo(viewport(), belowLastLine());
        QTest::qWait(3 * kTipCheckInterval.count());
        EXPECT_EQ(tip()->isVisible(), c.shown) << c.row;
        if (c.shown) {
            EXPECT_EQ(tip()->text(), kEntries[c.row]);
            EXPECT_EQ(tip()->geometry(), before);
        }
    }
}

// No mouse move reports either of these; the check finds them.
TEST_F(TipListBoxTest, HidesWhenTheListClosesOrTheCursorLeaves) {
    const std::function<void()> losses[] = {
        [this] { combo_->hidePopup(); },
        [this] { cursor_.jumpTo(viewport(), QPoint(viewport()->width() + 5, 5)); },
    };
    for (const auto& lose : losses) {
        moveOver(0);
        ASSERT_TRUE(tip()->isVisible());
        lose();
        EXPECT_TRUE(hiddenSoon(tip()));
        openList();
    }
}

TEST_F(TipListBoxTest, AReplacedListGetsItsOwnTip) {
    combo_->hidePopup();
    combo_->setView(new QListView);
    openList();
    moveOver(0);
    EXPECT_TRUE(tip()->isVisible());
}

}  // namespace
}  // namespace vorlen
