#pragma once

#include <QString>

// The settings of one collect page: written by its panel, read by the export when it starts.
struct CollectSettings
{
    bool hasSuffix = true;   // the name with its extension; false: without the last extension
    bool hasPath = true;     // the absolute path
    bool hasBirth = true;    // the creation time
    bool hasModified = true; // the modification time
    QString exportName;      // base name of the output file, without extension
    int exportType = 0;      // 0 .xlsx, 1 .docx, 2 .txt (the index of the format box)
    QString outputFolder;    // the folder that receives the output file
};

// The process-wide records of the file page and the folder page; they live until the program ends.
CollectSettings &fileCollectSettings();
CollectSettings &folderCollectSettings();
CollectSettings &collectSettings(bool folders);

// Where exports go unless the user picks a folder: the user's desktop folder, or the home folder where there
// is no desktop folder.
QString defaultCollectOutputFolder();
