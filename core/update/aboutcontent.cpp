#include "core/update/aboutcontent.h"

#include "core/update/releaseinfo.h"

#include <utility>

namespace {

QString &imagePathOverride()
{
    static QString path;
    return path;
}

const QString kProjectHome = QStringLiteral("https://github.com/quorvane-classroom/quorvane-desk");

} // namespace

QString aboutHtml()
{
    const std::pair<QString, QString> links[] = {
        {QStringLiteral("项目主页"), kProjectHome},
        {QStringLiteral("版本发布"), ReleaseInfo::kReleasesPageUrl},
        {QStringLiteral("问题反馈"), kProjectHome + QStringLiteral("/issues")},
        {QStringLiteral("使用说明"), kProjectHome + QStringLiteral("/wiki")},
        {QStringLiteral("Qt 官方网站"), QStringLiteral("https://www.qt.io/")},
        {QStringLiteral("Qt 6 文档"), QStringLiteral("https://doc.qt.io/qt-6/")},
        {QStringLiteral("libzip"), QStringLiteral("https://libzip.org/")},
        {QStringLiteral("pugixml"), QStringLiteral("https://pugixml.org/")},
        {QStringLiteral("CMake"), QStringLiteral("https://cmake.org/")},
    };

    QString html = QStringLiteral("<h2>Quorvane</h2><p><b>版本:</b> %1</p>").arg(ReleaseInfo::kCurrentVersion);
    html += QStringLiteral("<p>Quorvane 帮助老师把全班同学分成座位小组：兼顾男女比例、组长、外宿生、"
                           "同组与不同组的要求以及固定座位，并生成座位表。</p>");
    html += QStringLiteral("<p><b>作者:</b> Quorvane 开发组</p>");
    html += QStringLiteral("<p>© 2025 Quorvane 开发组。保留所有权利。</p>");
    html += QStringLiteral("<hr><p><b>相关链接:</b></p>");
    for (const auto &[label, address] : links)
        html += QStringLiteral("<p>• <a href=\"%1\">%2</a></p>").arg(address, label);
    return html;
}

QString aboutImagePath()
{
    const QString &path = imagePathOverride();
    return path.isEmpty() ? QStringLiteral(":/images/about_image.png") : path;
}

void setAboutImagePathForTesting(const QString &path)
{
    imagePathOverride() = path;
}
