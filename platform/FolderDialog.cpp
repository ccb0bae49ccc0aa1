#include "platform/FolderDialog.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPersistentModelIndex>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QTreeView>
#include <QVBoxLayout>

// Hides the siblings of the root folder, so that the root is the tree's only top item:
// the user sees and can choose the root itself but nothing above or beside it.
class RootOnlyFilter : public QSortFilterProxyModel {
public:
    RootOnlyFilter(QFileSystemModel& model, const QString& rootPath, QObject* parent)
        : QSortFilterProxyModel(parent), model_(model) {
        if (!rootPath.isEmpty())
            root_ = model.index(rootPath);
        setSourceModel(&model);
    }

protected:
    bool filterAcceptsRow(int row, const QModelIndex& sourceParent) const override {
        if (!root_.isValid() || sourceParent != root_.parent())
            return true;
        return model_.index(row, 0, sourceParent) == root_;
    }

private:
    QFileSystemModel& model_;
    QPersistentModelIndex root_;
};

static QString cleanAbsolute(const QString& path) {
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

static QString canonicalOrClean(const QString& path) {
    const QString canonical = QFileInfo(path).canonicalFilePath();
    return canonical.isEmpty() ? cleanAbsolute(path) : canonical;
}

FolderDialog::FolderDialog(const FolderDialogRequest& request, QWidget* parent)
    : QDialog(parent), options_(request.options) {
    setObjectName(QStringLiteral("FolderDialog"));
    setWindowTitle(tr("Browse For Folder"));

    const QFileInfo rootInfo(request.rootFolder);
    if (!request.rootFolder.isEmpty() && rootInfo.isDir())
        rootPath_ = cleanAbsolute(request.rootFolder);

    model_ = new QFileSystemModel(this);
    QDir::Filters filters = QDir::AllDirs | QDir::Drives | QDir::NoDotAndDotDot;
    if (has(FolderDialogOption::IncludeFiles))
        filters |= QDir::Files;
    // A hidden root would otherwise be filtered out of its own tree.
    if (!rootPath_.isEmpty() && rootInfo.isHidden())
        filters |= QDir::Hidden;
    model_->setFilter(filters);
    model_->setReadOnly(!has(FolderDialogOption::NewFolderButton));
    model_->setRootPath(rootPath_);
    filter_ = new RootOnlyFilter(*model_, rootPath_, this);

    instruction_ = new QLabel(request.title, this);
    instruction_->setObjectName(QStringLiteral("instruction"));
    instruction_->setWordWrap(true);
    instruction_->setTextFormat(Qt::PlainText);
    instruction_->setVisible(!request.title.isEmpty());

    tree_ = new QTreeView(this);
    tree_->setObjectName(QStringLiteral("folderTree"));
    tree_->setModel(filter_);
    tree_->setHeaderHidden(true);
    tree_->setUniformRowHeights(true);
    tree_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    for (int column = 1; column < model_->columnCount(); ++column)
        tree_->hideColumn(column);
    if (!rootPath_.isEmpty())
        tree_->setRootIndex(filter_->mapFromSource(model_->index(rootPath_).parent()));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(instruction_);
    layout->addWidget(tree_, 1);

    if (has(FolderDialogOption::EditBox)) {
        auto* row = new QHBoxLayout;
        auto* label = new QLabel(tr("Folder:"), this);
        nameEdit_ = new QLineEdit(this);
        nameEdit_->setObjectName(QStringLiteral("nameEdit"));
        label->setBuddy(nameEdit_);
        row->addWidget(label);
        row->addWidget(nameEdit_, 1);
        layout->addLayout(row);
        connect(nameEdit_, &QLineEdit::textEdited, this, &FolderDialog::selectionChanged);
    }

    auto* bottom = new QHBoxLayout;
    if (has(FolderDialogOption::NewFolderButton)) {
        newFolderButton_ = new QPushButton(tr("Make New Folder"), this);
        newFolderButton_->setObjectName(QStringLiteral("newFolderButton"));
        newFolderButton_->setAutoDefault(false);
        bottom->addWidget(newFolderButton_);
        connect(newFolderButton_, &QPushButton::clicked, this, &FolderDialog::makeNewFolder);
    }
    buttons_ = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    bottom->addWidget(buttons_, 1);
    layout->addLayout(bottom);
    connect(buttons_, &QDialogButtonBox::accepted, this, &FolderDialog::accept);
    connect(buttons_, &QDialogButtonBox::rejected, this, &FolderDialog::reject);
    connect(tree_->selectionModel(), &QItemSelectionModel::currentChanged, this, [this] {
        if (nameEdit_)
            nameEdit_->setText(QFileInfo(selectedPath()).fileName());
        selectionChanged();
    });

    const QString start = rootPath_.isEmpty() ? QDir::homePath() : rootPath_;
    if (selectPath(start))
        tree_->expand(tree_->currentIndex());
    selectionChanged();
    resize(380, 440);
}

FolderDialog::~FolderDialog() = default;

bool FolderDialog::has(FolderDialogOption option) const {
    return (options_ & static_cast<unsigned>(option)) != 0;
}

QString FolderDialog::selectedPath() const {
    const QModelIndex current = tree_->currentIndex();
    if (!current.isValid())
        return {};
    return model_->filePath(filter_->mapToSource(current));
}

QModelIndex FolderDialog::viewIndex(const QString& path) const {
    return filter_->mapFromSource(model_->index(path));
}

bool FolderDialog::selectPath(const QString& path) {
    const QString absolute = cleanAbsolute(path);
    if (!QFileInfo::exists(absolute) || !insideRoot(absolute))
        return false;
    const QModelIndex index = viewIndex(absolute);
    if (!index.isValid())
        return false;
    tree_->setCurrentIndex(index);
    tree_->scrollTo(index);
    return true;
}

bool FolderDialog::insideRoot(const QString& absolutePath) const {
    if (rootPath_.isEmpty())
        return true;
    const QString root = canonicalOrClean(rootPath_);
    const QString path = canonicalOrClean(absolutePath);
    if (path == root)
        return true;
    const QString prefix = root.endsWith(QLatin1Char('/')) ? root : root + QLatin1Char('/');
    return path.startsWith(prefix);
}

bool FolderDialog::confirmable(const QString& absolutePath) const {
    // Only computers or printers would do, and the tree holds neither.
    if (has(FolderDialogOption::ComputersOnly) || has(FolderDialogOption::PrintersOnly))
        return false;
    if (absolutePath.isEmpty())
        return false;
    const QFileInfo info(absolutePath);
    if (info.isDir())
        return true;
    return info.isFile() && has(FolderDialogOption::IncludeFiles) &&
           !has(FolderDialogOption::OnlyFileSystemFolders);
}

// A typed name is looked up inside the selected folder; an absolute path stands alone.
QString FolderDialog::pathFromEditBox() const {
    const QString selected = selectedPath();
    const QString typed = nameEdit_->text().trimmed();
    if (typed.isEmpty() || typed == QFileInfo(selected).fileName())
        return selected;
    if (QDir::isAbsolutePath(typed))
        return cleanAbsolute(typed);
    const QFileInfo selectedInfo(selected);
    const QString base = selectedInfo.isDir() ? selected : selectedInfo.absolutePath();
    if (base.isEmpty())
        return {};
    return cleanAbsolute(base + QLatin1Char('/') + typed);
}

void FolderDialog::selectionChanged() {
    bool ok = confirmable(selectedPath());
    if (nameEdit_ && !nameEdit_->text().trimmed().isEmpty())
        ok = ok || confirmable(pathFromEditBox());
    buttons_->button(QDialogButtonBox::Ok)->setEnabled(ok);
}

void FolderDialog::accept() {
    const QString path = nameEdit_ ? pathFromEditBox() : selectedPath();
    if (!confirmable(path) || !insideRoot(path)) {
        if (nameEdit_) {
            nameEdit_->setFocus();
            nameEdit_->selectAll();
        }
        QApplication::beep();
        return;
    }
    chosenPath_ = QDir::toNativeSeparators(cleanAbsolute(path));
    QDialog::accept();
}

void FolderDialog::makeNewFolder() {
    QString base = selectedPath();
    if (!base.isEmpty() && !QFileInfo(base).isDir())
        base = QFileInfo(base).absolutePath();
    if (base.isEmpty())
        base = rootPath_.isEmpty() ? QDir::homePath() : rootPath_;
    const QString plain = tr("New Folder");
    QString name = plain;
    for (int n = 2; QFileInfo::exists(base + QLatin1Char('/') + name); ++n)
        name = plain + QStringLiteral(" (%1)").arg(n);
    const QModelIndex made = model_->mkdir(model_->index(base), name);
    if (!made.isValid()) {
        QApplication::beep();
        return;
    }
    const QModelIndex shown = filter_->mapFromSource(made);
    tree_->setCurrentIndex(shown);
    tree_->scrollTo(shown);
    tree_->edit(shown);
}
