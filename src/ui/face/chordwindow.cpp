#include "chordwindow.h"

services::FileError ui::chordProRefusal(const QString &path)
{
    return {path,
        QStringLiteral("ChordPro のコード譜で、メモのファイルではありません（ファイルはそのまま"
                       "です）。メモに取り込むには、メモを開いたウィンドウの フィイル → "
                       "インポート... で選んでください")};
}
