#pragma once

#include <QString>

// Every channel of the notification hub. Page channels pair their key with RenameValueUpdate; the main
// window's channels use an empty name.
namespace Channel {

inline const QString RenameValueUpdate = QStringLiteral("RENAME VALUE UPDATE");
inline const QString NoName;

// Main window
inline const QString StartAddFile = QStringLiteral("START ADD FILE");
inline const QString EndAddFile = QStringLiteral("END ADD FILE");
inline const QString AppCapacityLimit = QStringLiteral("APP COMPACITY LIMIT");
inline const QString MessageErrorTip = QStringLiteral("MESSAGE ERROR TIP");

// Rename pages
inline const QString FileCustomRename = QStringLiteral("FILE CUSTOM RENAME");
inline const QString FolderCustomRename = QStringLiteral("FOLDER CUSTOM RENAME");
inline const QString FileInsertRename = QStringLiteral("FILE INSERT RENAME");
inline const QString FolderInsertRename = QStringLiteral("FOLDER INSERT RENAME");
inline const QString FileReplaceRename = QStringLiteral("FILE REPLACE RENAME");
inline const QString FolderReplaceRename = QStringLiteral("FOLDER REPLACE RENAME");
inline const QString FileDeleteRename = QStringLiteral("FILE DELETE RENAME");
inline const QString FolderDeleteRename = QStringLiteral("FOLDER DELETE RENAME");
inline const QString ImportExcelRename = QStringLiteral("IMPORT EXCEL RENAME");
inline const QString StartChangeName = QStringLiteral("START CHANGE NAME");

// Time pages
inline const QString FileTimeProperty = QStringLiteral("FILE TIME PROPERTY");
inline const QString FolderTimeProperty = QStringLiteral("FOLDER TIME PROPERTY");
inline const QString StartChangeDate = QStringLiteral("START CHANGE DATE");

// Collect pages
inline const QString FileCollectProperty = QStringLiteral("FILE COLLECT PROPERTY");
inline const QString FolderCollectProperty = QStringLiteral("FOLDER COLLECT PROPERTY");
inline const QString StartCollectInfo = QStringLiteral("START COLLECT INFO");

// Create page
inline const QString CustomCreateExcelRename = QStringLiteral("CUSTOM CREATE EXCEL RENAME");
inline const QString ImportCreateExcelRename = QStringLiteral("IMPORT CREATE EXCEL RENAME");
inline const QString StartCreateData = QStringLiteral("START CREATE DATA");

// Items renamed on disk by any page: every list moves its rows that point at them or below them. The value
// is an ItemMoves (hub/itemmoves.h); the name is empty.
inline const QString ItemsRenamed = QStringLiteral("ITEMS RENAMED");

} // namespace Channel

// The slot every receiver declares, in the normalised form SLOT() yields.
#define OBSERVER_SLOT SLOT(onPropertyValueChanged(QString,QString,QVariant))
