// Input of the work area: hover tracking and hit codes, selection, moving and resizing
// boxes, popup menus, keys, hints and the in-place editors. Each event is handed to the
// object under the pointer (or the selected one) with the part it hit.
#include <QApplication>
#include <QKeyEvent>
#include <QWheelEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTimer>
#include <QToolTip>
#include <algorithm>

#include "diagram/QBFloatPanel.h"
#include "diagram/QBFloatTable.h"
#include "diagram/QBLinks.h"
#include "resources/QBResource.h"
#include "toolkit/Exceptions.h"

TQBMouseMessage TQBWorkArea::MakeMessage(const QMouseEvent* event) const {
    TQBMouseMessage msg;
    const QPoint pos = event->position().toPoint();
    msg.X = pos.x();
    msg.Y = pos.y();
    msg.Buttons = event->buttons();
    msg.Modifiers = event->modifiers();
    return msg;
}

TQBFloatObject* TQBWorkArea::ObjectAt(const TPoint& point, int& hitCode) const {
    for (const auto& box : FTables)
        if ((hitCode = box->HitTest(point)) != hcNone) return box.get();
    for (const auto& link : FLinks)
        if ((hitCode = link->HitTest(point)) != hcNone) return link.get();
    hitCode = hcNone;
    return nullptr;
}

void TQBWorkArea::UpdateCursor(int hitCode) {
    Qt::CursorShape shape = Qt::ArrowCursor;
    switch (hitCode) {
        case hcLeft: case hcRight: shape = Qt::SizeHorCursor; break;
        case hcTop: case hcBottom: shape = Qt::SizeVerCursor; break;
        case hcTopLeft: case hcBottomRight: shape = Qt::SizeFDiagCursor; break;
        case hcBottomLeft: case hcTopRight: shape = Qt::SizeBDiagCursor; break;
        case hcEndPoint: shape = Qt::UpArrowCursor; break;
        case hcBendPoint: shape = Qt::SizeAllCursor; break;
        default: break;
    }
    viewport()->setCursor(shape);
}

void TQBWorkArea::HideEditors() {
    if (FAliasEdit->isVisible()) FAliasEdit->clearFocus();  // commits through the focus loss
    if (FAliasEdit->isVisible()) FAliasEdit->hide();
}

void TQBWorkArea::mouseMoveEvent(QMouseEvent* event) {
    Guard([&] {
        TQBMouseMessage msg = MakeMessage(event);
        const TPoint pos{msg.X, msg.Y};
        if (pos == FLastMouse) return;
        FLastMouse = pos;
        HideHint();
        if (!(event->buttons() & Qt::LeftButton)) {
            int code = hcNone;
            TQBFloatObject* object = ObjectAt(pos, code);
            UpdateCursor(code);
            if (!object) {
                TQBFloatObject* old = FHotObject;
                FHotObject = nullptr;
                if (old) old->MouseLeave(msg, FHitCode);
                FHitCode = hcNone;
                return;
            }
            if (object != FHotObject || code != FHitCode) {
                if (FHotObject) FHotObject->MouseLeave(msg, FHitCode);
                FHotObject = object;
                FHitCode = code;
            }
            object->MouseMove(msg, code);
            RestartHintTimer();
            return;
        }
        HideEditors();
        if (!IsDragCode(FHitCode) || !FHotObject) {
            if (FHotObject) FHotObject->MouseMove(msg, FHitCode);
            return;
        }
        DragBox(msg);
    });
}

void TQBWorkArea::DragBox(const TQBMouseMessage& msg) {
    auto* box = dynamic_cast<TQBTable*>(FHotObject);
    if (!box) return;
    const int sx = ScrollX(), sy = ScrollY();
    const int mx = msg.X, my = msg.Y;
    const TPoint g = FGrabOffset;
    int x = mx + sx - box->Left();
    int y = my + sy - box->Top();
    const int code = FHitCode;
    auto keepLeft = [&] { if (mx + sx - g.X < 0) x += g.X - mx - sx; };
    auto keepTop = [&] { if (my + sy - g.Y < 0) y += g.Y - my - sy; };
    if (code == hcCaption) {
        keepLeft();
        keepTop();
        if (box->Left() + box->Width() + x - g.X > SurfaceSize) x = g.X - box->Left() - box->Width() + SurfaceSize;
        if (box->Top() + box->Height() + y - g.Y > SurfaceSize) y = g.Y - box->Top() - box->Height() + SurfaceSize;
        box->MoveBy(x - g.X, y - g.Y);
        const int cw = viewport()->width(), ch = viewport()->height();
        if (mx > cw && sx + mx < SurfaceSize) horizontalScrollBar()->setValue(sx + mx - cw);
        if (my > ch && sy + my < SurfaceSize) verticalScrollBar()->setValue(sy + my - ch);
        if (mx < 0 && sx > 0) horizontalScrollBar()->setValue(sx + mx);
        if (my < 0 && sy > 0) verticalScrollBar()->setValue(sy + my);
        return;
    }
    if (code == hcLeft || code == hcTopLeft || code == hcBottomLeft) {
        keepLeft();
        box->ResizeLeft(x - g.X);
        x = mx + sx - box->Left();
    }
    if (code == hcTop || code == hcTopLeft || code == hcTopRight) {
        keepTop();
        box->ResizeTop(y - g.Y);
        y = my + sy - box->Top();
    }
    if (code == hcRight || code == hcTopRight || code == hcBottomRight) {
        if (box->Left() + x > SurfaceSize) x = SurfaceSize - box->Left();
        box->SetWidth(x);
    }
    if (code == hcBottom || code == hcBottomLeft || code == hcBottomRight) {
        if (box->Top() + y > SurfaceSize) y = SurfaceSize - box->Top();
        box->SetHeight(y);
    }
}

void TQBWorkArea::mousePressEvent(QMouseEvent* event) {
    Guard([&] {
        TQBMouseMessage msg = MakeMessage(event);
        HideHint();
        FHintTimer->stop();
        if (event->button() != Qt::LeftButton) return;
        FPressPoint = TPoint{msg.X, msg.Y};
        FTabRun = 0;
        setFocus(Qt::MouseFocusReason);
        HideEditors();
        // The press may come without a hover before it: find the object under it first.
        int code = hcNone;
        TQBFloatObject* object = ObjectAt(TPoint{msg.X, msg.Y}, code);
        if (object != FHotObject || code != FHitCode) {
            if (FHotObject) FHotObject->MouseLeave(msg, FHitCode);
            FHotObject = object;
            FHitCode = code;
        }
        FLastMouse = TPoint{msg.X, msg.Y};
        ActivateObject(FHotObject);
        if (!FHotObject) return;
        TQBMouseMessage objectMsg = msg;  // the object makes the position its own
        FHotObject->MouseDown(objectMsg, FHitCode);
        if (FHotObject && IsDragCode(FHitCode)) {
            if (auto* box = dynamic_cast<TQBTable*>(FHotObject))
                FGrabOffset = TPoint{msg.X + ScrollX() - box->Left(), msg.Y + ScrollY() - box->Top()};
        }
    });
}

void TQBWorkArea::mouseReleaseEvent(QMouseEvent* event) {
    Guard([&] {
        TQBMouseMessage msg = MakeMessage(event);
        if (event->button() == Qt::RightButton) {
            ShowPopup(msg, event->globalPosition().toPoint());
            return;
        }
        if (event->button() != Qt::LeftButton) return;
        if (auto* box = dynamic_cast<TQBTable*>(FActiveObject); box && FHitCode == hcCaption)
            TableChanged(box);
        if (FHotObject) FHotObject->MouseUp(msg, FHitCode);
    });
}

void TQBWorkArea::mouseDoubleClickEvent(QMouseEvent* event) {
    Guard([&] {
        if (event->button() != Qt::LeftButton || !FActiveObject) return;
        TQBMouseMessage msg = MakeMessage(event);
        if (auto* link = dynamic_cast<TQBLink*>(FActiveObject)) {
            link->ShowProperties();
            return;
        }
        if (auto* box = dynamic_cast<TQBTable*>(FActiveObject)) box->DblClick(msg, FHitCode);
    });
}

void TQBWorkArea::ShowPopup(const TQBMouseMessage& msg, const QPoint& globalPos) {
    int code = hcNone;
    TQBFloatObject* object = ObjectAt(TPoint{msg.X, msg.Y}, code);
    if (!object) {
        if (SpaceMenu) SpaceMenu->popup(globalPos);
        return;
    }
    FPopupMenu->clear();
    DeactivateAll();
    FActiveObject = object;
    object->SetActive(true);
    object->BuildPopup(*FPopupMenu, msg.X, code, msg.Y);
    if (!FPopupMenu->isEmpty()) FPopupMenu->popup(globalPos);
}

void TQBWorkArea::ReportError(const QString& text) {
    if (ErrorHook)
        ErrorHook(text);
    else
        QMessageBox::critical(this, QString(), text);
}

void TQBWorkArea::Guard(const std::function<void()>& body) {
    try {
        body();
    } catch (const std::exception& e) {
        ReportError(QString::fromUtf8(e.what()));
    } catch (...) {
        ReportError(QString::fromUtf8(FormatMessage(QBResource::SQBParserUnknownError, "0").c_str()));
    }
}

std::function<void()> TQBWorkArea::Guarded(std::function<void()> body) {
    return [this, body = std::move(body)] { Guard(body); };
}

bool TQBWorkArea::focusNextPrevChild(bool) { return false; }  // Tab cycles through the boxes

void TQBWorkArea::keyPressEvent(QKeyEvent* event) {
    Guard([&] {
        HideHint();
        int key = event->key();
        TShiftState shift;
        if (event->modifiers() & Qt::ShiftModifier) shift.Include(ssShift);
        if (event->modifiers() & Qt::ControlModifier) shift.Include(ssCtrl);
        if (event->modifiers() & Qt::AltModifier) shift.Include(ssAlt);
        if ((key == Qt::Key_Tab || key == Qt::Key_Backtab) && !FTables.empty()) {
            TabToNext(key == Qt::Key_Backtab);
            return;
        }
        if (key == Qt::Key_Menu || (key == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier)) {
            ShowKeyboardPopup();
            return;
        }
        if (key == Qt::Key_Delete) {
            TQBFloatObject* object = FActiveObject;
            FActiveObject = nullptr;
            if (auto* box = dynamic_cast<TQBTable*>(object))
                box->Close();
            else if (auto* link = dynamic_cast<TQBLink*>(object)) {
                FActiveObject = link;  // stays selected until the removal is carried out
                link->DeleteLink();
            }
            return;
        }
        if (FActiveObject) FActiveObject->KeyDown(key, shift);
    });
}

void TQBWorkArea::keyReleaseEvent(QKeyEvent* event) {
    Guard([&] {
        int key = event->key();
        TShiftState shift;
        if (event->modifiers() & Qt::ShiftModifier) shift.Include(ssShift);
        if (FActiveObject) FActiveObject->KeyUp(key, shift);
    });
}

void TQBWorkArea::wheelEvent(QWheelEvent* event) {
    // Plain wheel scrolls vertically, Shift+wheel horizontally, by 20 pixels per line.
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    QScrollBar* bar = modifiers == Qt::NoModifier      ? verticalScrollBar()
                      : modifiers == Qt::ShiftModifier ? horizontalScrollBar()
                                                       : nullptr;
    if (!bar) {
        event->ignore();
        return;
    }
    const QPoint delta = event->angleDelta();
    const int notches = (delta.y() != 0 ? delta.y() : delta.x()) / 120;
    bar->setValue(bar->value() - notches * QApplication::wheelScrollLines() * 20);
    event->accept();
}

void TQBWorkArea::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollRanges();
}

void TQBWorkArea::scrollContentsBy(int dx, int dy) {
    viewport()->scroll(dx, dy);  // moves the list scroll bar and editors along
}

bool TQBWorkArea::viewportEvent(QEvent* event) {
    // Hints come from the work area's own timers, not from the toolkit's tool-tip events.
    if (event->type() == QEvent::ToolTip) return true;
    return QAbstractScrollArea::viewportEvent(event);
}

bool TQBWorkArea::eventFilter(QObject* watched, QEvent* event) {
    if (watched == FAliasEdit) {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Escape) {
                FAliasEdit->hide();
                setFocus();
                return true;
            }
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                setFocus();  // the focus loss commits
                return true;
            }
        } else if (event->type() == QEvent::FocusOut && FAliasEdit->isVisible()) {
            FAliasEdit->hide();
            Guard([&] { ChangeAlias(FAliasEdit->text().toStdString()); });
        }
    } else if (watched == FSearchEdit) {
        if (event->type() == QEvent::KeyRelease) {
            if (auto* box = dynamic_cast<TQBTable*>(FActiveObject))
                box->SearchKeyUp(static_cast<QKeyEvent*>(event)->key());
        } else if (event->type() == QEvent::FocusOut) {
            FSearchEdit->hide();
        }
    }
    return QAbstractScrollArea::eventFilter(watched, event);
}
