#include "model_name_dialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
ModelNameDialog::TestDriver g_testDriver;
}

ModelNameDialog::ModelNameDialog(QWidget *parent, const QString &title, const QString &prompt) : QDialog(parent) {
    setWindowTitle(title.isEmpty() ? tr("模型录入") : title);
    setMinimumSize(350, 180);
    setStyleSheet("QDialog { background-color: #1e1e1e; }"
                  "QLabel { color: white; font-size: 14px; }"
                  "QLineEdit { background-color: #272c33; color: white; border: 1px solid #43474c;"
                  " border-radius: 4px; padding: 6px; font-size: 13px; }"
                  "QPushButton { background-color: #43474c; color: white; border: none; border-radius: 4px;"
                  " padding: 6px 20px; font-size: 13px; }"
                  "QPushButton:hover { background-color: #1e90ff; }");
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 20, 20, 20);
    layout->setSpacing(15);
    auto *label = new QLabel(prompt.isEmpty() ? tr("请输入模型名称") : prompt, this);
    label->setAlignment(Qt::AlignCenter);
    layout->addWidget(label);
    m_edit = new QLineEdit(this);
    m_edit->setAlignment(Qt::AlignCenter);
    layout->addWidget(m_edit);
    auto *row = new QHBoxLayout;
    m_okButton = new QPushButton(tr("确定"), this);
    m_cancelButton = new QPushButton(tr("取消"), this);
    row->addStretch();
    row->addWidget(m_okButton);
    row->addWidget(m_cancelButton);
    row->addStretch();
    layout->addLayout(row);
    m_okButton->setDefault(true);
    connect(m_okButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    m_edit->setFocus();
}

QString ModelNameDialog::name() const {
    return m_edit->text().trimmed();
}

int ModelNameDialog::run() {
    if (g_testDriver) {
        g_testDriver(*this);
        return result();
    }
    return exec();
}

void ModelNameDialog::setTestDriver(TestDriver driver) {
    g_testDriver = std::move(driver);
}
