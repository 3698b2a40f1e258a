#pragma once

#include <QAbstractButton>

/** An on/off switch: a checkable button drawn as a pill with a knob. */
class ToggleSwitch : public QAbstractButton
{
    Q_OBJECT
public:
    explicit ToggleSwitch(QWidget *parent = nullptr);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
};
