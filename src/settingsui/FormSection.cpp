#include "settingsui/FormSection.h"

#include "settingsui/UiStyle.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QScrollArea>
#include <QVBoxLayout>

class FormSection::Card : public QWidget
{
public:
    explicit Card(QWidget *parent)
        : QWidget(parent)
    {
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        const QRectF box = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
        QColor border = palette().color(QPalette::WindowText);
        border.setAlpha(28);
        p.setPen(QPen(border, 1));
        p.setBrush(palette().color(QPalette::Base));
        p.drawRoundedRect(box, 8, 8);

        // Hairlines between visible rows, inset from the leading edge like a grouped list.
        QColor line = palette().color(QPalette::WindowText);
        line.setAlpha(30);
        p.setPen(QPen(line, 1));
        const QObjectList kids = children();
        int previousBottom = -1;
        for (QObject *child : kids) {
            auto *row = qobject_cast<QWidget *>(child);
            if (!row || row->isHidden() || row->isWindow())
                continue;
            if (previousBottom >= 0) {
                const qreal y = (previousBottom + row->geometry().top()) / 2.0 + 0.5;
                p.drawLine(QPointF(12, y), QPointF(width() - 1, y));
            }
            previousBottom = row->geometry().bottom();
        }
    }

    bool event(QEvent *e) override
    {
        if (e->type() == QEvent::LayoutRequest)
            update();
        return QWidget::event(e);
    }
};

FormSection::FormSection(const QString &title, QWidget *parent)
    : QWidget(parent)
{
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(6);

    m_header = new QWidget(this);
    auto *headerLayout = new QHBoxLayout(m_header);
    headerLayout->setContentsMargins(4, 0, 4, 0);
    m_title = new QLabel(title, m_header);
    m_title->setObjectName(QStringLiteral("sectionTitle"));
    UiStyle::styleLabel(m_title, UiStyle::TextStyle::headline, UiStyle::secondaryText(m_title));
    headerLayout->addWidget(m_title);
    headerLayout->addStretch(1);
    m_header->setVisible(!title.isEmpty());
    outer->addWidget(m_header);

    m_card = new Card(this);
    m_rows = new QVBoxLayout(m_card);
    m_rows->setContentsMargins(12, 4, 12, 4);
    m_rows->setSpacing(1);
    outer->addWidget(m_card);
}

QWidget *FormSection::addRow(QWidget *row)
{
    row->setParent(m_card);
    m_rows->addWidget(row);
    return row;
}

QWidget *FormSection::addRow(const QString &label, QWidget *control)
{
    auto *row = new QWidget(m_card);
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 6, 0, 6);
    layout->setSpacing(10);
    auto *text = new QLabel(label, row);
    text->setObjectName(QStringLiteral("rowLabel"));
    layout->addWidget(text);
    layout->addStretch(1);
    control->setParent(row);
    layout->addWidget(control);
    return addRow(row);
}

void FormSection::setHeaderWidget(QWidget *widget)
{
    m_header->layout()->addWidget(widget);
    m_header->setVisible(true);
}

FormPage::FormPage(QWidget *parent)
    : QWidget(parent)
{
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    auto *scroll = new QScrollArea(this);
    scroll->setObjectName(QStringLiteral("formScroll"));
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto *content = new QWidget(scroll);
    content->setObjectName(QStringLiteral("formContent"));
    content->setAutoFillBackground(false);
    m_content = new QVBoxLayout(content);
    m_content->setContentsMargins(20, 16, 20, 20);
    m_content->setSpacing(18);
    m_content->addStretch(1);
    scroll->setWidget(content);
    scroll->viewport()->setAutoFillBackground(false);
    outer->addWidget(scroll);
}

FormSection *FormPage::addSection(const QString &title)
{
    auto *section = new FormSection(title);
    addSection(section);
    return section;
}

void FormPage::addSection(FormSection *section)
{
    addTrailing(section);
}

void FormPage::addTrailing(QWidget *widget)
{
    // Keep the stretch last so the sections stay at the top of the page.
    m_content->insertWidget(m_content->count() - 1, widget);
}
