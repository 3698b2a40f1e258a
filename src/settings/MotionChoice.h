#pragma once

#include <QObject>
#include <QString>

class UserDefaults;

/**
 * How the band's lines move: scrolling (the default) or in steps, one item at a time with no
 * motion in between, for whom a moving band is hard to read or to bear. Kept under its own
 * key, apart from the settings record, as the text "true" while steps are chosen.
 */
class MotionChoice : public QObject
{
    Q_OBJECT
public:
    static inline const QString key = QStringLiteral("bandReducedMotion.v1");

    explicit MotionChoice(UserDefaults &store, QObject *parent = nullptr);

    /** The choice of the running process, on UserDefaults::standard(). */
    static MotionChoice &shared();

    /** True when the lines move in steps. */
    bool reducedMotion() const { return m_reduced; }
    /** Stores the choice and announces it when it changed. */
    void setReducedMotion(bool reduced);

signals:
    void reducedMotionChanged(bool reduced);

private:
    UserDefaults &m_store;
    bool m_reduced = false;
};
