#include <QTest>

#include "CInstallerAddress.h"
#include "CVersionNumber.h"

class TestUpdateRules : public QObject
{
    Q_OBJECT
private slots:
    void comparesVersionsByNumber_data();
    void comparesVersionsByNumber();
    void installerNameIsAPlainFileName_data();
    void installerNameIsAPlainFileName();
};

void TestUpdateRules::comparesVersionsByNumber_data()
{
    QTest::addColumn<QString>("current");
    QTest::addColumn<QString>("newest");
    QTest::addColumn<bool>("newer");
    QTest::newRow("next minor field") << "1.0.2.9" << "1.0.3.0" << true;
    QTest::newRow("previous minor field") << "1.0.3.0" << "1.0.2.9" << false;
    QTest::newRow("two digits after one") << "1.0.9.0" << "1.0.10.0" << true;
    QTest::newRow("two digits are not older") << "1.0.10.0" << "1.0.9.0" << false;
    QTest::newRow("equal") << "1.0.2.9" << "1.0.2.9" << false;
    QTest::newRow("missing field is 0") << "1.2" << "1.2.0" << false;
    QTest::newRow("missing field is 0, other way") << "1.2.0" << "1.2" << false;
    QTest::newRow("extra non-zero field") << "1.2" << "1.2.0.1" << true;
    QTest::newRow("leading zeros") << "1.02" << "1.2" << false;
    QTest::newRow("longer than 64 bits") << "1.18446744073709551615" << "1.18446744073709551616" << true;
    QTest::newRow("letter field") << "1.2.x" << "1.3" << false;
    QTest::newRow("letter in newest") << "1.2" << "1.3.beta" << false;
    QTest::newRow("empty newest") << "1.2" << "" << false;
    QTest::newRow("empty field") << "1.2" << "1..3" << false;
    QTest::newRow("sign") << "1.2" << "1.+3" << false;
    QTest::newRow("blank") << "1.2" << " 1.3" << false;
}

void TestUpdateRules::comparesVersionsByNumber()
{
    QFETCH(QString, current);
    QFETCH(QString, newest);
    QFETCH(bool, newer);
    QCOMPARE(CVersionNumber::IsNewer(current, newest), newer);
}

void TestUpdateRules::installerNameIsAPlainFileName_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("name");
    QTest::newRow("plain") << "http://update.example/files/setup.deb" << "setup.deb";
    QTest::newRow("https with query") << "https://update.example/get/setup_4.1.deb?x=1#top" << "setup_4.1.deb";
    QTest::newRow("encoded blank") << "http://update.example/my%20setup.deb" << "my setup.deb";
    QTest::newRow("chinese") << "http://update.example/%E5%AE%89%E8%A3%85.deb" << "安装.deb";
    QTest::newRow("no segment") << "http://update.example/" << "";
    QTest::newRow("no path") << "http://update.example" << "";
    QTest::newRow("dot") << "http://update.example/files/." << "";
    QTest::newRow("dot dot") << "http://update.example/files/.." << "";
    QTest::newRow("encoded dot dot") << "http://update.example/files/%2E%2E" << "";
    QTest::newRow("encoded slash") << "http://update.example/files/..%2F..%2F.bashrc" << "";
    QTest::newRow("encoded backslash") << "http://update.example/files/a%5Cb.deb" << "";
    QTest::newRow("encoded NUL") << "http://update.example/files/setup.deb%00.txt" << "";
    QTest::newRow("file scheme") << "file:///etc/passwd" << "";
    QTest::newRow("ftp") << "ftp://update.example/setup.deb" << "";
    QTest::newRow("no host") << "http:///setup.deb" << "";
    QTest::newRow("relative") << "setup.deb" << "";
    QTest::newRow("empty") << "" << "";
}

void TestUpdateRules::installerNameIsAPlainFileName()
{
    QFETCH(QString, address);
    QFETCH(QString, name);
    QCOMPARE(CInstallerAddress::FileName(address), name);
}

QTEST_MAIN(TestUpdateRules)
#include "tst_updaterules.moc"
