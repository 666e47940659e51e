#include "songfilecommands.h"

#include "chordboxes.h"
#include "chordproreader.h"
#include "chordwindow.h"
#include "memofiles.h"
#include "noticeline.h"
#include "songdocument.h"
#include "songkeeper.h"

#include <QAction>
#include <QFileInfo>
#include <QInputDialog>
#include <QMenu>

namespace
{
const QString KeptElsewhere
    = QStringLiteral("歌詞など、この曲に残せないものがあるため、読み取り専用で開きました。"
                     "編集するには 名前を付けて保存 で別のファイルにしてください");
} // namespace

ui::SongFileCommands::SongFileCommands(ChordWindow *window, ChordBoxes *boxes,
    NoticeLine *notice, std::unique_ptr<memofile::MemoFiles> files)
    : QObject(window)
    , m_window(window)
    , m_boxes(boxes)
    , m_notice(notice)
    , m_keeper(std::make_unique<memofile::SongKeeper>(std::move(files), [boxes] {
        const song::SongDocument *document = boxes->songDocument();
        return document ? document->fileBytes() : QByteArray();
    }))
{
    // The song is saved as it changes; a read-only one never is.
    connect(boxes, &ChordBoxes::chordsChanged, this, [this] {
        if (m_keeper->isOpen() && !m_boxes->readOnly())
            m_keeper->changed();
    });

    connect(m_keeper.get(), &memofile::FileKeeper::saveErrorChanged, this,
        &SongFileCommands::saveErrorChanged);

    m_info = new QAction(QStringLiteral("曲の情報(&T)..."), window->fileMenu());
    m_info->setObjectName(QStringLiteral("songinfo"));
    connect(m_info, &QAction::triggered, this, &SongFileCommands::infoClicked);
    updateItems();
}

// The keeper waits for its last write as it goes.
ui::SongFileCommands::~SongFileCommands() = default;

bool ui::SongFileCommands::isOpen() const
{
    return m_keeper->isOpen();
}

memofile::FileKeeper *ui::SongFileCommands::keeper() const
{
    return m_keeper->isOpen() ? m_keeper.get() : nullptr;
}

std::optional<services::FileError> ui::SongFileCommands::open(const QString &path)
{
    QByteArray bytes;
    // The keeper lets go of the song it had: the boxes do too.
    const auto failed = [this](const services::FileError &error) {
        close();
        return error;
    };
    if (auto error = m_keeper->open(path, &bytes))
        return failed(*error);
    const song::ChordProSong read = song::readChordPro(bytes);
    if (!read.error.isEmpty())
        return failed({path, read.error});
    m_boxes->openSong(song::SongDocument::fromFile(read, song::titleFromPath(path)), false);
    const QString left = song::leftOverNotice(read.left);
    // Saving would drop what the song does not keep: the file stays as it is.
    m_readOnlyWhy = m_keeper->readOnly() ? m_keeper->readOnlyReason()
        : left.isEmpty()                 ? QString()
                                         : left + QStringLiteral("。") + KeptElsewhere;
    opened(!m_readOnlyWhy.isEmpty());
    return std::nullopt;
}

std::optional<services::FileError> ui::SongFileCommands::create(const QString &path)
{
    song::Song tune;
    tune.title = song::titleFromPath(path);
    // The new song is what the keeper writes.
    m_boxes->openSong(song::SongDocument(tune), false);
    if (auto error = m_keeper->create(path)) {
        m_boxes->closeSong();
        return error;
    }
    m_readOnlyWhy.clear();
    opened(false);
    return std::nullopt;
}

void ui::SongFileCommands::opened(bool readOnly)
{
    m_boxes->setReadOnly(readOnly);
    m_window->unselectBoxes();
    if (readOnly)
        m_notice->show(m_readOnlyWhy);
    updateItems();
    emit fileChanged();
}

void ui::SongFileCommands::close()
{
    m_keeper->close();
    m_readOnlyWhy.clear();
    if (!m_boxes->holdsSong())
        return;
    m_boxes->closeSong();
    m_window->unselectBoxes();
    updateItems();
    emit fileChanged();
}

void ui::SongFileCommands::savedAs()
{
    m_readOnlyWhy.clear();
    m_boxes->setReadOnly(false);
    updateItems();
    emit fileChanged();
}

QString ui::SongFileCommands::titleSuffix() const
{
    if (!m_keeper->isOpen())
        return {};
    QString suffix = QStringLiteral(" - ") + QFileInfo(m_keeper->path()).fileName();
    if (m_boxes->readOnly())
        suffix += QStringLiteral("（読み取り専用）");
    return suffix;
}

void ui::SongFileCommands::updateItems()
{
    m_info->setEnabled(m_keeper->isOpen() && !m_boxes->readOnly());
}

void ui::SongFileCommands::infoClicked()
{
    bool ok = false;
    const QString title = QInputDialog::getText(m_window, QStringLiteral("曲の情報"),
        QStringLiteral("曲名:"), QLineEdit::Normal, m_boxes->songTitle(), &ok);
    if (ok)
        m_boxes->setSongTitle(title.trimmed());
}
