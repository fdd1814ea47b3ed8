#pragma once

#include <QColor>
#include <QImage>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <map>
#include <string>

class QWidget;

// Every skin file name a skinned button may ask for.
QStringList AllSkinFileNames();

// A skin of solid, distinct colours in a temporary folder: each file a small PNG of its own
// colour, so a painted button tells which file it drew. The buttons read from this folder while
// the object lives.
class CTestSkin
{
public:
    static constexpr int kWidth = 8;
    static constexpr int kHeight = 6;

    CTestSkin();
    ~CTestSkin();
    CTestSkin(const CTestSkin&) = delete;
    CTestSkin& operator=(const CTestSkin&) = delete;

    bool IsValid() const { return m_dir.isValid(); }
    QString Path(const QString& name) const { return m_dir.filePath(name); }
    QColor ColorOf(const QString& name) const;
    void Write(const QString& name, const QImage& image) const;
    void WriteSolid(const QString& name, const QColor& color) const;

    // The file whose colour this is; "face" for the face colour below; "?" for anything else.
    QString NameOf(QRgb pixel) const;

private:
    QTemporaryDir m_dir;
    std::map<QRgb, QString> m_names;
};

// The button face colour the tests give their buttons: far from every skin colour.
QColor TestFaceColor();

// The widget as it paints itself.
QImage PaintedImage(QWidget& widget);

// Empty when the images are equal, else where and how they first differ.
std::string FirstDifference(const QImage& actual, const QImage& expected);
