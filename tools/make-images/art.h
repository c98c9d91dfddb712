#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>

// The application icon, drawn for one square size; small sizes get fewer,
// bolder details so the sheet still reads at 16 px.
QImage drawIcon(int size);

// The photograph-like picture of a lit tuning scale.
QImage drawDial();

// A Windows .ico holding each image twice: palettised (8 bit) and BGRA
// (32 bit), the 8-bit ones first, each group by ascending size.
QByteArray makeIco(const QList<QImage>& images);
