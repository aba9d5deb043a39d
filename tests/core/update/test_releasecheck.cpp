#include "core/update/aboutcontent.h"
#include "core/update/releasecheck.h"
#include "core/update/releaseinfo.h"
#include "core/update/updateendpoint.h"

#include <QRegularExpression>
#include <QTest>

class TestReleaseCheck : public QObject
{
    Q_OBJECT

private slots:
    // Version comparison
    void isNewerRelease_data();
    void isNewerRelease();
    void normalizedTagDropsOnlyOneLowerCaseV();

    // Reading the service's answer
    void parseLatestRelease_data();
    void parseLatestRelease();

    // Seams and about text
    void endpointPrefersSetterThenEnvironment();
    void aboutTextHasHeadingAndNineLinks();
};

void TestReleaseCheck::isNewerRelease_data()
{
    QTest::addColumn<QString>("tag");
    QTest::addColumn<bool>("newer");

    QTest::newRow("equal") << "251008.1730" << false;
    QTest::newRow("equal with v") << "v251008.1730" << false;
    QTest::newRow("minute later") << "251008.1731" << true;
    QTest::newRow("next day") << "251009" << true;
    QTest::newRow("next day with v") << "v251009" << true;
    QTest::newRow("older") << "251008.1729" << false;
    QTest::newRow("older day, more segments") << "251007.9999.9" << false;
    QTest::newRow("extra segment") << "251008.1730.1" << true;
    QTest::newRow("extra zero segment") << "251008.1730.0" << true;
    QTest::newRow("pre-release suffix") << "251010.0900-beta" << true;
    QTest::newRow("capital V") << "V300000.1" << false;
    QTest::newRow("double v") << "vv300000" << false;
    QTest::newRow("garbage") << "latest" << false;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("bare v") << "v" << false;
    QTest::newRow("numeric not lexical") << "251008.10000" << true;
}

void TestReleaseCheck::isNewerRelease()
{
    QFETCH(QString, tag);
    QFETCH(bool, newer);
    QCOMPARE(::isNewerRelease(tag, ReleaseInfo::kCurrentVersion), newer);
}

void TestReleaseCheck::normalizedTagDropsOnlyOneLowerCaseV()
{
    QCOMPARE(normalizedReleaseTag(QStringLiteral("v251009")), QStringLiteral("251009"));
    QCOMPARE(normalizedReleaseTag(QStringLiteral("vv1")), QStringLiteral("v1"));
    QCOMPARE(normalizedReleaseTag(QStringLiteral("V1")), QStringLiteral("V1"));
    QCOMPARE(normalizedReleaseTag(QStringLiteral("1.v2")), QStringLiteral("1.v2"));
}

void TestReleaseCheck::parseLatestRelease_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<QString>("tag");
    QTest::addColumn<QString>("pageUrl");
    QTest::addColumn<QString>("notes");

    QTest::newRow("full") << QByteArray(R"({"tag_name":"v251009","html_url":"https://x/r","body":"a\nb"})") << true
                          << "v251009" << "https://x/r" << "a\nb";
    QTest::newRow("only tag") << QByteArray(R"({"tag_name":"251009"})") << true << "251009" << "" << "";
    QTest::newRow("members not strings")
        << QByteArray(R"({"tag_name":"1","html_url":7,"body":null})") << true << "1" << "" << "";
    QTest::newRow("no tag") << QByteArray(R"({"html_url":"https://x/r"})") << false << "" << "" << "";
    QTest::newRow("empty tag") << QByteArray(R"({"tag_name":""})") << false << "" << "" << "";
    QTest::newRow("numeric tag") << QByteArray(R"({"tag_name":251009})") << false << "" << "" << "";
    QTest::newRow("array") << QByteArray(R"([{"tag_name":"251009"}])") << false << "" << "" << "";
    QTest::newRow("invalid JSON") << QByteArray("<html>rate limited</html>") << false << "" << "" << "";
    QTest::newRow("truncated JSON") << QByteArray(R"({"tag_name":"251009")") << false << "" << "" << "";
    QTest::newRow("empty body") << QByteArray() << false << "" << "" << "";
}

void TestReleaseCheck::parseLatestRelease()
{
    QFETCH(QByteArray, body);
    QFETCH(bool, valid);
    const std::optional<LatestRelease> release = ::parseLatestRelease(body);
    QCOMPARE(release.has_value(), valid);
    if (!release)
        return;
    QTEST(release->tag, "tag");
    QTEST(release->pageUrl, "pageUrl");
    QTEST(release->notes, "notes");
}

void TestReleaseCheck::endpointPrefersSetterThenEnvironment()
{
    const QByteArray saved = qgetenv(UpdateEndpoint::kUrlVariable);
    qunsetenv(UpdateEndpoint::kUrlVariable);
    QCOMPARE(UpdateEndpoint::latestReleaseApiUrl(), QUrl(ReleaseInfo::kLatestReleaseApiUrl));
    QCOMPARE(UpdateEndpoint::latestReleaseApiUrl().scheme(), QStringLiteral("https"));
    QVERIFY(UpdateEndpoint::latestReleaseApiUrl().path().endsWith(QLatin1String("/releases/latest")));

    qputenv(UpdateEndpoint::kUrlVariable, "http://127.0.0.1:9/");
    QCOMPARE(UpdateEndpoint::latestReleaseApiUrl(), QUrl(QStringLiteral("http://127.0.0.1:9/")));

    UpdateEndpoint::setLatestReleaseApiUrlForTesting(QUrl(QStringLiteral("http://127.0.0.1:1234/x")));
    QCOMPARE(UpdateEndpoint::latestReleaseApiUrl(), QUrl(QStringLiteral("http://127.0.0.1:1234/x")));
    UpdateEndpoint::setLatestReleaseApiUrlForTesting(QUrl());
    QCOMPARE(UpdateEndpoint::latestReleaseApiUrl(), QUrl(QStringLiteral("http://127.0.0.1:9/")));

    if (saved.isNull())
        qunsetenv(UpdateEndpoint::kUrlVariable);
    else
        qputenv(UpdateEndpoint::kUrlVariable, saved);
}

void TestReleaseCheck::aboutTextHasHeadingAndNineLinks()
{
    const QString html = aboutHtml();
    QVERIFY(html.startsWith(QStringLiteral("<h2>Quorvane</h2><p><b>版本:</b> 251008.1730</p>")));
    const qsizetype caption = html.indexOf(QStringLiteral("<hr><p><b>相关链接:</b></p>"));
    QVERIFY(caption > 0);

    static const QRegularExpression link(QStringLiteral("<p>• <a href=\"([^\"]+)\">[^<]+</a></p>"));
    QStringList addresses;
    for (auto it = link.globalMatch(html); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        QVERIFY(match.capturedStart() > caption);
        addresses << match.captured(1);
    }
    QCOMPARE(addresses.size(), 9);
    QVERIFY(html.endsWith(QLatin1String("</a></p>")));
    for (const QString &address : addresses)
        QVERIFY2(QUrl(address).scheme() == QLatin1String("https"), qPrintable(address));
    QVERIFY(addresses.contains(ReleaseInfo::kReleasesPageUrl));
}

QTEST_GUILESS_MAIN(TestReleaseCheck)
#include "test_releasecheck.moc"
