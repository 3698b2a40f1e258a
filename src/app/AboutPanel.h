#pragma once

#include <QDialog>

/**
 * "À propos de Dotbanner": the icon, the name, the version with its build number, the MIT
 * licence with its copyright line, the project's address and the credits, among them the
 * attribution the weather service asks for, above a plain "OK". One panel is made and shown
 * again on every request.
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
    /** The licence's text, as the repository's LICENSE file has it. */
    static QString licenseText();
    /** The licence's copyright line: "Copyright (c) 2026 The Dotbanner developers". */
    static QString copyrightLine();
    /** The project's address. */
    static QString homepage();
};
