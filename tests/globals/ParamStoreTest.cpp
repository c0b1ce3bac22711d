// The parameter store on a file of its own: what goes in comes back byte for byte, and nothing in
// the file is readable.
#include "core/untGlobals.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class GlobalsParamStore : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_path = m_dir.filePath("params.ini");
        SetParamStoreFile(m_path);
    }
    void TearDown() override { SetParamStoreFile(QString()); }

    static QByteArray load(const QByteArray& name)
    {
        QByteArray value = "not loaded";
        EXPECT_TRUE(LoadParam(name, value));
        return value;
    }
    QByteArray fileContents() const
    {
        QFile file(m_path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    void writeFile(const QByteArray& contents) const
    {
        QFile file(m_path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(contents);
    }

    QTemporaryDir m_dir;
    QString m_path;
};

const char* const kPersianUser = "وضعیت کنتور";
const char* const kPersianPassword = "تغییر کاربر";

}  // namespace

TEST_F(GlobalsParamStore, RoundTrip)
{
    // Names of one, two and three bytes mask to base64 with "=", "==" and no padding, and the
    // values include the characters the file format itself uses.
    const struct {
        QByteArray name, value;
    } entries[] = {
        {"Saved", "True"},
        {"UserName", "operator1"},
        {"Password", "p=ss/w+rd [x]"},
        {"a", "1"},
        {"ab", ""},
        {"abc", "abc"},
        {QByteArray(kPersianUser), QByteArray(kPersianPassword)},
    };
    for (const auto& e : entries)
        EXPECT_TRUE(SaveParam(e.name, e.value, true));
    for (const auto& e : entries)
        EXPECT_EQ(load(e.name), e.value) << e.name.toStdString();

    // The remembered login as the login dialog stores it, with Persian texts.
    SaveParam("UserName", kPersianUser, true);
    SaveParam("Password", kPersianPassword, true);
    EXPECT_EQ(QString::fromUtf8(load("UserName")), QString::fromUtf8(kPersianUser));
    EXPECT_EQ(QString::fromUtf8(load("Password")), QString::fromUtf8(kPersianPassword));
    EXPECT_EQ(fileContents().count(MaskParam("UserName").toLatin1() + '='), 1);
}

TEST_F(GlobalsParamStore, NeverSavedAndDeleted)
{
    EXPECT_EQ(load("Saved"), "");   // no file at all yet
    SaveParam("Saved", "True", true);
    SaveParam("UserName", "operator1", true);
    EXPECT_EQ(load("Password"), "");

    EXPECT_TRUE(SaveParam("Saved", "", false));
    EXPECT_EQ(load("Saved"), "");
    EXPECT_EQ(load("UserName"), "operator1");
    EXPECT_TRUE(SaveParam("Never", "", false));   // deleting what is not there is no error
}

TEST_F(GlobalsParamStore, StoredFormIsMaskedThroughout)
{
    SaveParam("abc", "abc", true);
    SaveParam("Saved", "True", true);
    SaveParam("UserName", "operator1", true);
    SaveParam("Password", kPersianPassword, true);
    const QByteArray contents = fileContents();
    EXPECT_TRUE(contents.contains("\nMzYyNjE2=MzYyNjE2\n")) << contents.toStdString();
    for (const QByteArray& plain : {QByteArray("abc"), QByteArray("Saved"), QByteArray("True"),
                                   QByteArray("UserName"), QByteArray("operator1"),
                                   QByteArray("Password"), QByteArray(kPersianPassword)})
        EXPECT_FALSE(contents.contains(plain)) << plain.toStdString();
}

TEST_F(GlobalsParamStore, DamagedValueRaises)
{
    const QByteArray name = MaskParam("UserName").toLatin1();
    for (const QByteArray& damaged : {QByteArray("!!not base64!!"), EncodeBase64("xyz0").toLatin1()}) {
        writeFile("[Params]\n" + name + "=" + damaged + "\n");
        QByteArray value;
        EXPECT_THROW(LoadParam("UserName", value), ParamStoreError) << damaged.toStdString();
    }
}

TEST_F(GlobalsParamStore, KeepsOtherLinesOfTheFile)
{
    writeFile("; kept\n[Other]\nx=1\n\n[Params]\n" + MaskParam("Saved").toLatin1() + "="
              + MaskParam("False").toLatin1() + "\n");
    SaveParam("Saved", "True", true);
    SaveParam("UserName", "operator1", true);
    EXPECT_EQ(load("Saved"), "True");
    EXPECT_EQ(load("UserName"), "operator1");
    const QByteArray contents = fileContents();
    EXPECT_TRUE(contents.startsWith("; kept\n[Other]\nx=1\n")) << contents.toStdString();
    EXPECT_EQ(contents.count("[Params]"), 1);
}

TEST_F(GlobalsParamStore, UnwritableStoreRaises)
{
    QFile blocker(m_dir.filePath("blocker"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    SetParamStoreFile(m_dir.filePath("blocker/params.ini"));
    EXPECT_THROW(SaveParam("Saved", "True", true), ParamStoreError);
    EXPECT_EQ(load("Saved"), "");
}

TEST_F(GlobalsParamStore, Location)
{
    EXPECT_EQ(ParamStoreLocation(), m_path);
    SetParamStoreFile(QString());
#ifdef Q_OS_WIN
    EXPECT_EQ(ParamStoreLocation(), "HKEY_CURRENT_USER\\Software\\Nemora\\Params");
#else
    EXPECT_TRUE(ParamStoreLocation().endsWith("/Nemora/params.ini")) << ParamStoreLocation().toStdString();
    EXPECT_FALSE(IsWow64());
#endif
}
