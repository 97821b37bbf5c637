#include <QAbstractItemView>
#include <QListView>
#include <functional>
#include <gtest/gtest.h>

#include "tip_test_support.h"
#include "widgets/tip_combo_box.h"

namespace vorlen {
namespace {

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
