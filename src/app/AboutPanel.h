#pragma once

#include <QDialog>

/**
 * "À propos de Dotbanner": the icon, the name, the version with its build number and the
 * credits, among them the attribution the weather service asks for. One panel is made and
 * shown again on every request.
 */
class AboutPanel : public QDialog
{
    Q_OBJECT
public:
    explicit AboutPanel(QWidget *parent = nullptr);

    /** "Version 1.0.0 (1)": the version and build number the build system knows. */
    static QString versionText();
    /** The credits shown under the version, one paragraph per line. */
    static QStringList credits();
};
