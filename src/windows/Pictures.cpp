#include "Pictures.h"

#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <functional>

namespace {

using Drawing = std::function<void(QPainter &)>;

const QColor Outline(40, 40, 40);
const QColor Paper(255, 255, 255);
const QColor FolderYellow(240, 200, 80);
const QColor FolderDark(200, 150, 40);
const QColor DiskBlue(50, 80, 160);
const QColor ArrowGreen(30, 140, 50);
const QColor Red(200, 30, 30);

QPen pen(const QColor &color, qreal width = 1.0)
{
    return QPen(color, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void page(QPainter &p, const QRectF &r)
{
    p.setPen(pen(Outline));
    p.setBrush(Paper);
    p.drawRect(r);
}

void textLines(QPainter &p, qreal x, qreal y, qreal width, int lines)
{
    p.setPen(pen(QColor(120, 120, 120)));
    for (int i = 0; i < lines; ++i)
        p.drawLine(QPointF(x, y + 2 * i), QPointF(x + width, y + 2 * i));
}

void floppy(QPainter &p, const QRectF &r)
{
    p.setPen(pen(Outline));
    p.setBrush(DiskBlue);
    p.drawRect(r);
    const qreal w = r.width();
    const qreal h = r.height();
    p.setBrush(Paper);
    p.drawRect(QRectF(r.left() + w * 0.2, r.top(), w * 0.6, h * 0.45));
    p.setBrush(QColor(190, 190, 190));
    p.drawRect(QRectF(r.left() + w * 0.25, r.bottom() - h * 0.35, w * 0.5, h * 0.35));
}

void folder(QPainter &p, bool open)
{
    p.setPen(pen(Outline));
    p.setBrush(FolderDark);
    QPainterPath back;
    back.moveTo(1.5, 4.5);
    back.lineTo(5.5, 4.5);
    back.lineTo(6.5, 5.5);
    back.lineTo(12.5, 5.5);
    back.lineTo(12.5, 14.5);
    back.lineTo(1.5, 14.5);
    back.closeSubpath();
    p.drawPath(back);
    p.setBrush(FolderYellow);
    if (open)
        p.drawPolygon(QPolygonF({{3.5, 8.5}, {15.0, 8.5}, {12.5, 14.5}, {1.5, 14.5}}));
    else
        p.drawRect(QRectF(1.5, 7.5, 11, 7));
}

void arrowHead(QPainter &p, const QPointF &tip, const QPointF &back1, const QPointF &back2, const QColor &color)
{
    p.setPen(pen(color));
    p.setBrush(color);
    p.drawPolygon(QPolygonF({tip, back1, back2}));
}

void drawCut(QPainter &p)
{
    p.setPen(pen(Outline, 1.3));
    p.drawLine(QPointF(5, 10), QPointF(11, 1.5));
    p.drawLine(QPointF(11, 10), QPointF(5, 1.5));
    p.setPen(pen(Red, 1.5));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(4.5, 12.5), 2.2, 2.2);
    p.drawEllipse(QPointF(11.5, 12.5), 2.2, 2.2);
}

void drawCopy(QPainter &p)
{
    page(p, QRectF(1.5, 1.5, 8, 10));
    textLines(p, 3, 4, 4, 3);
    page(p, QRectF(6.5, 4.5, 8, 10));
    textLines(p, 8, 7, 4, 3);
}

void drawPaste(QPainter &p)
{
    p.setPen(pen(Outline));
    p.setBrush(QColor(170, 120, 60));
    p.drawRect(QRectF(1.5, 2.5, 10, 12));
    p.setBrush(QColor(200, 200, 200));
    p.drawRect(QRectF(4.5, 1.5, 4, 2.5));
    page(p, QRectF(7.5, 6.5, 7, 8));
    textLines(p, 9, 9, 3.5, 2);
}

void drawUndo(QPainter &p)
{
    QPainterPath curve;
    curve.moveTo(13, 13);
    curve.cubicTo(14.5, 7, 11, 4, 5.5, 5.5);
    p.setPen(pen(DiskBlue, 2));
    p.setBrush(Qt::NoBrush);
    p.drawPath(curve);
    arrowHead(p, QPointF(1.5, 6), QPointF(6.5, 2), QPointF(6.5, 9.5), DiskBlue);
}

void drawCross(QPainter &p)
{
    p.setPen(pen(Qt::black, 2.5));
    p.drawLine(QPointF(3.5, 3.5), QPointF(12.5, 12.5));
    p.drawLine(QPointF(12.5, 3.5), QPointF(3.5, 12.5));
}

void drawOpen(QPainter &p)
{
    folder(p, true);
    QPainterPath curve;
    curve.moveTo(6, 4);
    curve.quadTo(9, 0.5, 12.5, 2.5);
    p.setPen(pen(ArrowGreen, 1.3));
    p.setBrush(Qt::NoBrush);
    p.drawPath(curve);
    arrowHead(p, QPointF(14.5, 4.5), QPointF(11, 4.5), QPointF(13.5, 1), ArrowGreen);
}

void drawSaveAs(QPainter &p)
{
    floppy(p, QRectF(3.5, 3.5, 9, 9));
    p.setPen(pen(FolderDark, 1.2));
    p.drawLine(QPointF(1, 1), QPointF(2.5, 2.5));
    p.drawLine(QPointF(15, 1), QPointF(13.5, 2.5));
    p.drawLine(QPointF(1, 15), QPointF(2.5, 13.5));
    p.drawLine(QPointF(15, 15), QPointF(13.5, 13.5));
    p.drawLine(QPointF(8, 0.5), QPointF(8, 2));
    p.drawLine(QPointF(0.5, 8), QPointF(2, 8));
}

void drawExit(QPainter &p)
{
    p.setPen(pen(ArrowGreen));
    p.setBrush(ArrowGreen);
    p.drawRect(QRectF(4.5, 0.5, 7, 3));
    p.setPen(pen(Outline));
    p.setBrush(QColor(150, 110, 70));
    p.drawRect(QRectF(3.5, 4.5, 9, 11));
    p.setBrush(QColor(30, 30, 30));
    p.drawRect(QRectF(5.5, 6.5, 5, 9));
}

void drawSave(QPainter &p)
{
    floppy(p, QRectF(1.5, 1.5, 13, 13));
}

void drawClose(QPainter &p)
{
    folder(p, false);
    p.setPen(pen(Red, 1.6));
    p.drawLine(QPointF(8, 3), QPointF(13, 3));
    arrowHead(p, QPointF(15.5, 3), QPointF(12.5, 0.5), QPointF(12.5, 5.5), Red);
}

void drawFind(QPainter &p)
{
    p.setPen(pen(Outline));
    p.setBrush(QColor(60, 60, 60));
    p.drawRect(QRectF(3, 2.5, 3, 6));
    p.drawRect(QRectF(10, 2.5, 3, 6));
    p.drawRect(QRectF(6, 5, 4, 2.5));
    p.setBrush(QColor(120, 170, 230));
    p.drawEllipse(QPointF(4.5, 11.5), 3.2, 3.2);
    p.drawEllipse(QPointF(11.5, 11.5), 3.2, 3.2);
}

void drawFont(QPainter &p)
{
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(20, 20, 120));
    QPainterPath a;
    a.moveTo(6.6, 1.5);
    a.lineTo(9.4, 1.5);
    a.lineTo(14.5, 14.5);
    a.lineTo(11.8, 14.5);
    a.lineTo(10.6, 11.2);
    a.lineTo(5.4, 11.2);
    a.lineTo(4.2, 14.5);
    a.lineTo(1.5, 14.5);
    a.closeSubpath();
    a.moveTo(8, 4.6);
    a.lineTo(6.2, 9.2);
    a.lineTo(9.8, 9.2);
    a.closeSubpath();
    p.drawPath(a);
}

void drawPlus(QPainter &p)
{
    p.setPen(pen(ArrowGreen, 3));
    p.drawLine(QPointF(8, 2.5), QPointF(8, 13.5));
    p.drawLine(QPointF(2.5, 8), QPointF(13.5, 8));
}

void drawMinus(QPainter &p)
{
    p.setPen(pen(Red, 3));
    p.drawLine(QPointF(2.5, 8), QPointF(13.5, 8));
}

void drawMove(QPainter &p)
{
    const qreal indents[] = {1.5, 5.5, 3.5};
    for (int i = 0; i < 3; ++i) {
        const qreal y = 2 + 5 * i;
        p.setPen(pen(Outline));
        p.setBrush(DiskBlue);
        p.drawRect(QRectF(indents[i], y, 3, 3));
        p.setPen(pen(Outline, 1.2));
        p.drawLine(QPointF(indents[i] + 5, y + 1.5), QPointF(indents[i] + 9, y + 1.5));
    }
}

void drawAbout(QPainter &p)
{
    p.setPen(pen(FolderDark));
    p.setBrush(QColor(250, 220, 60));
    p.drawEllipse(QPointF(8, 8), 7, 7);
    QPainterPath mark;
    mark.moveTo(5.5, 6);
    mark.cubicTo(5.5, 2.5, 10.5, 2.5, 10.5, 5.8);
    mark.cubicTo(10.5, 8, 8, 8, 8, 10);
    p.setPen(pen(Red, 2));
    p.setBrush(Qt::NoBrush);
    p.drawPath(mark);
    p.setPen(Qt::NoPen);
    p.setBrush(Red);
    p.drawEllipse(QPointF(8, 12.6), 1.2, 1.2);
}

void drawNew(QPainter &p)
{
    QPainterPath sheet;
    sheet.moveTo(2.5, 1.5);
    sheet.lineTo(9.5, 1.5);
    sheet.lineTo(13.5, 5.5);
    sheet.lineTo(13.5, 14.5);
    sheet.lineTo(2.5, 14.5);
    sheet.closeSubpath();
    p.setPen(pen(Outline));
    p.setBrush(Paper);
    p.drawPath(sheet);
    p.setBrush(QColor(210, 210, 210));
    p.drawPolygon(QPolygonF({{9.5, 1.5}, {9.5, 5.5}, {13.5, 5.5}}));
}

void drawProgram(QPainter &p)
{
    p.setPen(pen(QColor(20, 40, 90), 1.5));
    p.setBrush(DiskBlue);
    p.drawRoundedRect(QRectF(1.5, 1.5, 29, 29), 5, 5);
    p.setPen(pen(Paper, 3.5));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(QPolygonF({{8, 8}, {21, 8}, {8, 22}, {21, 22}}));
    p.setPen(pen(FolderYellow, 2));
    p.drawLine(QPointF(24, 10), QPointF(27, 10));
    p.drawLine(QPointF(24, 15), QPointF(27, 15));
    p.drawLine(QPointF(24, 20), QPointF(27, 20));
}

// Paints one drawing scaled from its design size into any rectangle.
class PictureEngine : public QIconEngine
{
public:
    PictureEngine(Drawing drawing, qreal designSize)
        : m_drawing(std::move(drawing))
        , m_designSize(designSize)
    {
    }

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State) override
    {
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        painter->translate(rect.topLeft());
        painter->scale(rect.width() / m_designSize, rect.height() / m_designSize);
        if (mode == QIcon::Disabled)
            painter->setOpacity(0.35);
        m_drawing(*painter);
        painter->restore();
    }

    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return scaledPixmap(size, mode, state, 1.0);
    }

    // The size is in device pixels already; the scale only marks the pixmap.
    QPixmap scaledPixmap(const QSize &size, QIcon::Mode mode, QIcon::State state, qreal scale) override
    {
        QPixmap pixmap(size);
        pixmap.fill(Qt::transparent);
        {
            QPainter painter(&pixmap);
            paint(&painter, QRect(QPoint(0, 0), pixmap.size()), mode, state);
        }
        pixmap.setDevicePixelRatio(scale);
        return pixmap;
    }

    QSize actualSize(const QSize &size, QIcon::Mode, QIcon::State) override { return size; }

    QIconEngine *clone() const override { return new PictureEngine(m_drawing, m_designSize); }

    QString key() const override { return QStringLiteral("zelk-picture"); }

private:
    Drawing m_drawing;
    qreal m_designSize;
};

void drawUntranslated(QPainter &p)
{
    p.setPen(pen(DiskBlue, 1.5));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QRectF(3, 3, 10, 10));
}

void drawProblem(QPainter &p)
{
    p.setPen(pen(QColor(150, 60, 0)));
    p.setBrush(QColor(250, 170, 30));
    p.drawPolygon(QPolygonF({{8, 1.5}, {15, 14.5}, {1, 14.5}}));
    p.setPen(pen(Outline, 1.6));
    p.drawLine(QPointF(8, 6), QPointF(8, 10));
    p.drawPoint(QPointF(8, 12.5));
}

// A blue diamond with an eye-like dot: look at this again.
void drawToReview(QPainter &p)
{
    p.setPen(pen(QColor(20, 60, 140)));
    p.setBrush(QColor(90, 150, 230));
    p.drawPolygon(QPolygonF({{8, 1}, {15, 8}, {8, 15}, {1, 8}}));
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawEllipse(QRectF(5.5, 5.5, 5, 5));
    p.setBrush(QColor(20, 60, 140));
    p.drawEllipse(QRectF(7, 7, 2, 2));
}

const Drawing CommandDrawings[Pictures::Count] = {
    drawCut, drawCopy, drawPaste, drawUndo, drawCross, drawOpen, drawSaveAs, drawExit, drawSave,
    drawClose, drawFind, drawFont, drawPlus, drawMinus, drawMove, drawAbout, drawNew,
};

} // namespace

QIcon Pictures::picture(int index)
{
    if (index < 0 || index >= Count)
        return QIcon();
    return QIcon(new PictureEngine(CommandDrawings[index], 16));
}

QIcon Pictures::programIcon()
{
    return QIcon(new PictureEngine(drawProgram, 32));
}

QIcon Pictures::untranslatedMark()
{
    return QIcon(new PictureEngine(drawUntranslated, 16));
}

QIcon Pictures::problemMark()
{
    return QIcon(new PictureEngine(drawProblem, 16));
}

QIcon Pictures::toReviewMark()
{
    return QIcon(new PictureEngine(drawToReview, 16));
}
