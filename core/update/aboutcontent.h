#pragma once

#include <QString>

// What the about box shows: its HTML text and where its picture comes from.

// Heading with the version, credits, and the list of links.
QString aboutHtml();

// ":/images/about_image.png" unless a test has pointed it elsewhere.
QString aboutImagePath();
// An empty path restores the resource.
void setAboutImagePathForTesting(const QString &path);
