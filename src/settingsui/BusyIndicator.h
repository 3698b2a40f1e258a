#pragma once

#include <QTimer>
#include <QWidget>

/** A small spinning progress indicator; it turns only while it is visible. */
class BusyIndicator : public QWidget
{
    Q_OBJECT
public:
    explicit BusyIndicator(int size = 16, QWidget *parent = nullptr);

    QSize sizeHint() const override { return QSize(m_size, m_size); }

protected:
    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    int m_size;
    int m_step = 0;
    QTimer m_timer;
};
