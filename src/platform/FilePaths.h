#pragma once

#include <QString>

// The base name of an executable path: the file name, less a final ".exe" in any letter case. Other endings
// stay, so a copy renamed "zorScheduler.old" counts as a program of its own.
QString executableBaseName(const QString& executablePath);

// relativePath ("Temp/x.log") inside directory, with the platform's own separators.
QString fileInDirectory(const QString& directory, const QString& relativePath);
