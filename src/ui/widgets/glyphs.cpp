#include "ui/widgets/glyphs.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace vsr::ui {

namespace {

QPixmap draw(Glyph glyph, int size, bool disabled) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 16.0, size / 16.0);
    auto colour = [disabled](QColor c) { return disabled ? QColor(160, 160, 160) : c; };
    switch (glyph) {
    case Glyph::Execute: {  // a page with a green "run" triangle
        p.setPen(QPen(colour(QColor(90, 90, 90)), 1));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(1.5, 1.5, 9, 12));
        QPainterPath run;
        run.moveTo(7, 6);
        run.lineTo(15, 10.5);
        run.lineTo(7, 15);
        run.closeSubpath();
        p.setPen(Qt::NoPen);
        p.setBrush(colour(QColor(40, 150, 60)));
        p.drawPath(run);
        break;
    }
    case Glyph::Edit: {  // a page with a pencil across it
        p.setPen(QPen(colour(QColor(90, 90, 90)), 1));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(1.5, 1.5, 9, 12));
        p.setPen(QPen(colour(QColor(200, 140, 30)), 3, Qt::SolidLine, Qt::FlatCap));
        p.drawLine(QPointF(6, 14), QPointF(14, 4));
        p.setPen(QPen(colour(QColor(60, 60, 60)), 1.5));
        p.drawLine(QPointF(5, 15.5), QPointF(6.2, 13.8));
        break;
    }
    case Glyph::Stop: {  // a red octagon-like disc with a white bar
        p.setPen(Qt::NoPen);
        p.setBrush(colour(QColor(200, 40, 40)));
        p.drawEllipse(QRectF(1, 1, 14, 14));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(4, 7, 8, 2));
        break;
    }
    case Glyph::Undo: {  // a curved arrow turning back
        p.setPen(QPen(colour(QColor(40, 90, 170)), 2, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        QPainterPath arc;
        arc.moveTo(4, 7);
        arc.cubicTo(7, 2.5, 14, 4, 13, 9.5);
        arc.cubicTo(12.5, 12.5, 9, 14, 6, 13);
        p.drawPath(arc);
        QPainterPath head;
        head.moveTo(1.5, 3.5);
        head.lineTo(7, 8.5);
        head.lineTo(1.5, 9.5);
        head.closeSubpath();
        p.setPen(Qt::NoPen);
        p.setBrush(colour(QColor(40, 90, 170)));
        p.drawPath(head);
        break;
    }
    }
    return pixmap;
}

}  // namespace

QIcon glyphIcon(Glyph glyph, int size) {
    QIcon icon;
    icon.addPixmap(draw(glyph, size, false), QIcon::Normal);
    icon.addPixmap(draw(glyph, size, true), QIcon::Disabled);
    return icon;
}

}  // namespace vsr::ui
