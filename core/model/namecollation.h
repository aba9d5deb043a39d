#pragma once

#include <QCollator>
#include <QSet>
#include <QString>
#include <QStringList>

// Names in the order a Chinese reader expects, by pinyin (安琪 陈静 李娜 王芳
// 张伟 赵磊), whatever locale the process runs in; code-point order would
// look random. Names the collation holds equal keep a fixed order.
QCollator chineseCollator();
QStringList sortedByPinyin(QStringList names);
QStringList sortedByPinyin(const QSet<QString> &names);
