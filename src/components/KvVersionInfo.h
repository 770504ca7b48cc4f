#pragma once
#include <QObject>
#include <QString>
#include <QStringList>

// Reads the ten standard values of a file's version block; by default the program's own.
class TKvVersionInfo : public QObject {
    Q_OBJECT
public:
    explicit TKvVersionInfo(QObject *owner = nullptr);

    // Empty means the program's own file; reading fills in its full path.
    QString FilePath() const { return FFilePath; }
    void SetFilePath(const QString &path);

    void ReadInfo();
    // Throws std::out_of_range for an index outside 0 to 9.
    QString GetValue(int Index) const;

    static const char *const ValueNames[10];
    static inline const QString NotAvailable = QStringLiteral("Value Not Available");

private:
    QString FFilePath;
    QStringList Values;
};
