#include "settingsui/FormSection.h"

#include "settingsui/UiStyle.h"

#include <QComboBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>

class FormSection::Card : public QWidget
{
public:
    explicit Card(QWidget *parent)
        : QWidget(parent)
    {}

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

QWidget *FormSection::labelledRow(const QString &label, QLabel **text)
{
    auto *row = new QWidget(m_card);
    row->setMinimumHeight(rowHeight);
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 3, 0, 3);
    layout->setSpacing(10);
    *text = new QLabel(label, row);
    (*text)->setObjectName(QStringLiteral("rowLabel"));
    layout->addWidget(*text);
    return row;
}

void FormSection::nameByLabel(QWidget *control, QLabel *text)
{
    // A screen reader names the control by its row; the label points to it as well.
    if (control->accessibleName().isEmpty())
        control->setAccessibleName(text->text());
    text->setBuddy(control);
}

QWidget *FormSection::addRow(const QString &label, QWidget *control)
{
    QLabel *text = nullptr;
    QWidget *row = labelledRow(label, &text);
    auto *layout = static_cast<QHBoxLayout *>(row->layout());
    layout->addStretch(1);
    control->setParent(row);
    layout->addWidget(control);
    nameByLabel(control, text);
    if (auto *picker = qobject_cast<QComboBox *>(control)) {
        m_pickers.append(picker);
        equalise();
    }
    return addRow(row);
}

QWidget *FormSection::addRow(const QString &label, QWidget *control, QWidget *trailing)
{
    QLabel *text = nullptr;
    QWidget *row = labelledRow(label, &text);
    auto *layout = static_cast<QHBoxLayout *>(row->layout());
    control->setParent(row);
    layout->addWidget(control, 1);
    nameByLabel(control, text);
    trailing->setParent(row);
    layout->addWidget(trailing);
    m_columnLabels.append(text);
    equalise();
    return addRow(row);
}

void FormSection::equalise()
{
    // Measured from the texts as shown (language, font), so nothing is cut and nothing is
    // wider than the longest one needs.
    int pickerWidth = 0;
    for (QComboBox *picker : std::as_const(m_pickers))
        pickerWidth = std::max(pickerWidth, picker->sizeHint().width());
    for (QComboBox *picker : std::as_const(m_pickers))
        picker->setFixedWidth(pickerWidth);
    int labelWidth = 0;
    for (QLabel *label : std::as_const(m_columnLabels))
        labelWidth = std::max(labelWidth, label->sizeHint().width());
    for (QLabel *label : std::as_const(m_columnLabels))
        label->setFixedWidth(labelWidth);
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
    auto *scroll = m_scroll = new QScrollArea(this);
    scroll->setObjectName(QStringLiteral("formScroll"));
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Tab goes from control to control, scrolling each into view; the page itself is no stop.
    scroll->setFocusPolicy(Qt::NoFocus);
    auto *content = new QWidget(scroll);
    content->setObjectName(QStringLiteral("formContent"));
    content->setAutoFillBackground(false);
    m_content = new QVBoxLayout(content);
    m_content->setContentsMargins(margin, 16, margin, 20);
    m_content->setSpacing(18);
    m_content->addStretch(1);
    scroll->setWidget(content);
    scroll->viewport()->setAutoFillBackground(false);
    outer->addWidget(scroll);
    // A page long enough to scroll keeps its cards as wide as on the other pages: the scroll
    // bar takes its room from the trailing margin.
    connect(scroll->verticalScrollBar(), &QScrollBar::rangeChanged, this,
            [this](int, int maximum) { fitScrollBar(maximum > 0); });
}

void FormPage::fitScrollBar(bool shown)
{
    const int extent = shown ? m_scroll->verticalScrollBar()->sizeHint().width() : 0;
    m_content->setContentsMargins(margin, 16, std::max(0, margin - extent), 20);
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
