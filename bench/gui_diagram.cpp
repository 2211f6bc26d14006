// Painting a work area of 50 boxes and 60 links, offscreen: the whole visible surface, the
// small repaint a hover over one caption button causes, and a box dragged across the diagram
// by a stream of mouse moves.
#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <benchmark/benchmark.h>
#include <memory>

#include "control/QBWindow.h"
#include "data/MemoryDataSet.h"
#include "diagram/QBFloatPanel.h"
#include "diagram/QBFloatTable.h"
#include "diagram/QBLinks.h"
#include "BenchSupport.h"

namespace {

// 50 boxes of 8 columns in a 10 x 5 grid on a 1600 x 1000 view, 60 links between neighbours
// (every fourth with a bend point, the join types cycling through all four).
struct Diagram {
    std::unique_ptr<TCustomQueryBuilder> Control;
    TQBWorkArea* Area = nullptr;

    Diagram() {
        BenchApp();
        Control.reset(CreateQueryBuilder<TCustomQueryBuilder>());
        Control->resize(1600, 1000);
        Area = Control->WorkArea();
        std::vector<TQBTable*> boxes;
        for (int i = 0; i < 50; ++i) {
            TMemoryDataSet set;
            for (int f = 0; f < 8; ++f) set.AddField("Column" + std::to_string(f), ftInteger);
            boxes.push_back(Area->InsertTable("Table" + std::to_string(i), "", TPoint{20 + (i % 10) * 158, 20 + (i / 10) * 190},
                                              false, &set));
            boxes.back()->Item(i % 8)->SetChecked(true);
        }
        int made = 0;
        for (int i = 0; i < 50 && made < 60; ++i) {
            const int right = i % 10 < 9 ? i + 1 : -1, below = i + 10 < 50 ? i + 10 : -1;
            for (int other : {right, below}) {
                if (other < 0 || made == 60) continue;
                TQBLink* link = Area->AddLink(boxes[i], boxes[other], boxes[i]->Item(made % 6), boxes[other]->Item((made + 1) % 6));
                link->Join()->JoinType = made % 4;
                if (made % 4 == 0) {
                    const TPoint a = link->Points()[1], b = link->Points()[2];
                    link->SetDragPoint(TPoint{(a.X + b.X) / 2, (a.Y + b.Y) / 2 + 1});
                    link->InsertPoint();
                }
                ++made;
            }
        }
    }
};

void BM_PaintWholeSurface(benchmark::State& state) {
    Diagram d;
    QImage image(1600, 1000, QImage::Format_ARGB32_Premultiplied);
    const QRegion all(image.rect());
    for (auto _ : state) {
        QPainter painter(&image);
        d.Area->PaintSurface(painter, all);
        benchmark::DoNotOptimize(image.bits());
    }
    state.counters["boxes"] = d.Area->LastPaintedBoxes();
    state.counters["links"] = d.Area->LastPaintedLinks();
}
BENCHMARK(BM_PaintWholeSurface)->Unit(benchmark::kMillisecond);

void BM_PaintWholeSurfaceAt200Percent(benchmark::State& state) {
    Diagram d;
    QImage image(3200, 2000, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(2.0);
    const QRegion all(QRect(0, 0, 1600, 1000));
    for (auto _ : state) {
        QPainter painter(&image);
        d.Area->PaintSurface(painter, all);
        benchmark::DoNotOptimize(image.bits());
    }
}
BENCHMARK(BM_PaintWholeSurfaceAt200Percent)->Unit(benchmark::kMillisecond);

void BM_PaintHoveredButton(benchmark::State& state) {
    Diagram d;
    QImage image(1600, 1000, QImage::Format_ARGB32_Premultiplied);
    TQBTable* box = d.Area->Table(0);
    const TRect r = box->ButtonRect(0);
    const QRegion dirty(QRect(r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top));
    for (auto _ : state) {
        QPainter painter(&image);
        painter.setClipRegion(dirty);
        d.Area->PaintSurface(painter, dirty);
        benchmark::DoNotOptimize(image.bits());
    }
}
BENCHMARK(BM_PaintHoveredButton)->Unit(benchmark::kMicrosecond);

// Sums the area of every paint event the viewport receives.
class TPaintMeter final : public QObject {
public:
    long long Pixels = 0;
    int Paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            ++Paints;
            for (const QRect& r : static_cast<QPaintEvent*>(event)->region()) Pixels += 1LL * r.width() * r.height();
        }
        return false;
    }
};

// A box in the middle of the diagram, four links on it, dragged by its caption back and
// forth over its neighbours: one mouse move per iteration, each handled and painted as the
// event loop does (the repaint it asks for included). Reported: time per move event and
// pixels repainted per move event.
void BM_DragBoxAcrossDiagram(benchmark::State& state) {
    Diagram d;
    d.Control->show();
    QWidget* viewport = d.Area->viewport();
    TPaintMeter meter;
    viewport->installEventFilter(&meter);
    QApplication::processEvents();
    TQBTable* box = d.Area->TableByKey("Table22");
    const QPoint grab(box->Left() + 40, box->Top() + 10);
    auto send = [&](QEvent::Type type, const QPoint& pos, Qt::MouseButton button, Qt::MouseButtons buttons) {
        QMouseEvent event(type, QPointF(pos), QPointF(viewport->mapToGlobal(pos)), button, buttons, Qt::NoModifier);
        QApplication::sendEvent(viewport, &event);
    };
    send(QEvent::MouseMove, grab, Qt::NoButton, Qt::NoButton);
    send(QEvent::MouseButtonPress, grab, Qt::LeftButton, Qt::LeftButton);
    QApplication::processEvents();
    meter.Pixels = 0;
    meter.Paints = 0;
    long long moves = 0;
    int step = 0;
    for (auto _ : state) {
        // 400 pixels right in steps of 4, then back, a pixel lower on each pass.
        const int phase = step % 200, pass = step / 200;
        const int dx = phase < 100 ? phase * 4 : (200 - phase) * 4;
        send(QEvent::MouseMove, grab + QPoint(dx, pass % 50), Qt::NoButton, Qt::LeftButton);
        QApplication::processEvents();
        ++step;
        ++moves;
    }
    send(QEvent::MouseButtonRelease, grab, Qt::LeftButton, Qt::NoButton);
    viewport->removeEventFilter(&meter);
    state.counters["pixels_per_move"] = moves ? static_cast<double>(meter.Pixels) / moves : 0;
    state.counters["paints_per_move"] = moves ? static_cast<double>(meter.Paints) / moves : 0;
    state.counters["viewport_pixels"] = static_cast<double>(viewport->width()) * viewport->height();
}
BENCHMARK(BM_DragBoxAcrossDiagram)->Unit(benchmark::kMicrosecond);

}  // namespace
