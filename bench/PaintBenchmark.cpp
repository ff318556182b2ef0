// Painting the item table at the size of a full-screen window, through the
// real grid widget and its QPainter device context, offscreen.
//   a 1280 x 800 view of 1,000 and of 1,000,000 items x 5 columns, each
//   painted whole at 100 random scroll positions; the average of each and
//   their ratio (targets: under 10 ms each, the large table at most 1.5 x the
//   small one)

#include <QApplication>
#include <QImage>
#include <QScrollBar>
#include <chrono>
#include <cstdio>
#include <memory>
#include <random>
#include <string>

#include "TableGenerator.h"
#include "grid/GridCtrl.h"
#include "qt/QtDesktop.h"
#include "qt/QtGridWidget.h"

using namespace tabulon;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kViewWidth = 1280;
constexpr int kViewHeight = 800;
constexpr int kPositions = 100;

void Fill(CGridCtrl& grid, int items) {
    grid.SetRedraw(false);
    grid.SetRowCount(items + 1);
    const char* headings[] = {"Database", "Artist", "Title", "Year", "Size", "Genre"};
    for (int c = 0; c < 6; ++c) grid.SetCellText(0, c, headings[c]);
    bench::CTableGenerator generator(7);
    for (int r = 1; r <= items; ++r) {
        const bench::Item item = generator.NextItem();
        grid.SetCellText(r, 0, std::to_string(r));
        for (int f = 0; f < 5; ++f) grid.SetCellText(r, f + 1, item[f]);
    }
    grid.SetColumnWidth(0, 80);
    const int widths[] = {300, 360, 90, 110, 240};
    for (int c = 1; c < 6; ++c) grid.SetColumnWidth(c, widths[c - 1]);
    grid.SetModified(false);
    grid.SetRedraw(true, true);
}

// Milliseconds per paint of the whole view, over the same random positions
// for every table size.
double AveragePaint(int items) {
    qt::CQtDesktop desktop;
    CGridCtrl grid(1, 6, 1, 1, &desktop);
    Fill(grid, items);
    qt::CQtGridWidget widget(grid);
    widget.resize(kViewWidth, kViewHeight);
    widget.show();
    QApplication::processEvents();
    // The view itself is 1280 x 800, whatever the frame and the bar take.
    const QSize chrome = widget.size() - widget.viewport()->size();
    widget.resize(kViewWidth + chrome.width(), kViewHeight + chrome.height());
    QApplication::processEvents();
    QWidget* view = widget.viewport();
    QImage image(view->size(), QImage::Format_ARGB32_Premultiplied);

    QScrollBar* bar = widget.verticalScrollBar();
    std::mt19937 random(2024);
    std::uniform_int_distribution<int> position(0, bar->maximum());
    view->render(&image);  // the first paint loads the fonts
    double total = 0;
    for (int n = 0; n < kPositions; ++n) {
        grid.OnVScroll(ScrollCode::ThumbTrack, position(random));
        const auto start = Clock::now();
        view->render(&image);
        total += std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    }
    widget.hide();
    return total / kPositions;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    AveragePaint(1000);  // fonts and glyph caches warm up on the first run
    const double small = AveragePaint(1000);
    const double large = AveragePaint(1000000);
    std::printf("paint 1280x800, 1,000 items:     %7.3f ms\n", small);
    std::printf("paint 1280x800, 1,000,000 items: %7.3f ms\n", large);
    std::printf("1,000,000 / 1,000:               %7.2f x\n", large / small);
    return 0;
}
