#pragma once

#include <QByteArray>

/**
 * Feed `index` of the stress and soak programs for round `round`, as RSS: `titles` titles
 * that change every round, so every fetch makes a new news line. With `hugeTitle`, the
 * first title of feed 0 carries a megabyte more.
 */
inline QByteArray stressFeed(int index, int round, int titles, bool hugeTitle)
{
    QByteArray items;
    for (int i = 0; i < titles; ++i) {
        QByteArray title = "Flux " + QByteArray::number(index) + " titre " + QByteArray::number(i) + " tour " +
                           QByteArray::number(round) + " : la bourse et le climat en hausse";
        if (hugeTitle && index == 0 && i == 0)
            title += " " + QByteArray(1 << 20, 'x');
        items += "<item><title>" + title + "</title><link>http://127.0.0.1/" + QByteArray::number(i) + "</link></item>";
    }
    return "<?xml version=\"1.0\"?><rss version=\"2.0\"><channel><title>Flux " + QByteArray::number(index) +
           "</title>" + items + "</channel></rss>";
}
