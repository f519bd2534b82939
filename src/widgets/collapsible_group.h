#pragma once

#include <QIcon>
#include <QSize>
#include <QVariant>
#include <QWidget>

#include <functional>

class QHBoxLayout;
class QLabel;
class QToolButton;

// A titled, foldable section of a parameter page: a 40 px header (icon, title, arrow)
// above the owner's content. Clicking the header or the arrow folds and unfolds it.
class CollapsibleGroup : public QWidget {
    Q_OBJECT
public:
    // Builds the content: receives the content widget as parent and returns the widget
    // to show in it.
    using ContentFactory = std::function<QWidget *(QWidget *parent)>;

    static constexpr int kHeaderHeight = 40;

    explicit CollapsibleGroup(const QString &title, const ContentFactory &contentFactory = ContentFactory(),
                              QWidget *parent = nullptr);

    void setIcon(const QIcon &icon);
    void setIcon(const QString &path);
    void setCollapsed(bool collapsed);

    bool isExpanded() const { return m_expanded; }
    QString title() const;
    QWidget *header() const { return m_header; }
    QWidget *content() const { return m_content; }
    QToolButton *arrowButton() const { return m_arrowButton; }
    QLabel *iconLabel() const { return m_iconLabel; }

    // The arrow drawn for each state: pointing down when expanded, right when folded.
    static QPixmap arrowPixmap(bool expanded);

signals:
    // For owners that forward a page's changes; the group itself never emits it.
    void configChanged(const QString &key, const QVariant &value);
    void expanded();

public slots:
    void toggleCollapse();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *m_header;
    QHBoxLayout *m_headerLayout;
    QLabel *m_iconLabel;
    QLabel *m_titleLabel;
    QToolButton *m_arrowButton;
    QWidget *m_content;
    QSize m_iconSize{16, 16};
    bool m_expanded = true;
};
