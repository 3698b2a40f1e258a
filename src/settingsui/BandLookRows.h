#pragma once

#include "types/UpDownColours.h"

#include <QObject>
#include <QString>

class BandLook;
class FormSection;
class QComboBox;
class ToggleSwitch;

/**
 * The rows of the display tab that choose the band's look beyond the themes: the colours of
 * rises and falls, and the small charts of a stock's day. Each shows and stores its choice
 * through a BandLook and follows it when it changes elsewhere.
 */
class BandLookRows : public QObject
{
    Q_OBJECT
public:
    /** Adds both rows at the end of `section` (which owns them and this), reading and writing `look`. */
    BandLookRows(FormSection *section, BandLook &look);

    QComboBox *upDownPicker() const { return m_upDown; }
    ToggleSwitch *sparklinesSwitch() const { return m_sparklines; }

    /** The title of a choice of colours in the picker. */
    static QString title(UpDownColours colours);

private:
    void sync();

    BandLook &m_look;
    QComboBox *m_upDown = nullptr;
    ToggleSwitch *m_sparklines = nullptr;
};
