#include "support/TestHost.h"

#include <QHBoxLayout>
#include <QVBoxLayout>
#include <QtTest>

TestHost::TestHost(const TestEnvironment& env, bool openPort)
    : appState(env.makeState()),
      m_link(store, this),
      m_status(this),
      m_sounds(appState, this),
      m_desk(new Desk(this)),
      m_terminal(new TerminalText(m_desk)),
      m_strip(new QWidget(this))
{
    m_desk->setFixedSize(1200, 372);
    m_terminal->setGeometry(52, 35, 793, 283);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_desk);
    layout->addWidget(m_strip);
    new QHBoxLayout(m_strip);

    box.open();
    store.save("Ports", "Com1", box.slavePath());
    if (openPort) {
        QString error;
        if (!m_link.open(&error))
            qWarning("the test port did not open: %s", qPrintable(error));
    }
}

TestHost::~TestHost()
{
    m_link.close();
}

CommandLabel* TestHost::addCommand(const QString& group, const QString& name, const QString& caption,
                                   const QString& toolTip)
{
    auto* label = new CommandLabel(name, caption, toolTip, m_strip);
    m_strip->layout()->addWidget(label);
    m_groups[group] << name;
    return label;
}

CommandLabel* TestHost::command(const QString& name) const
{
    auto* label = findChild<CommandLabel*>(name);
    if (!label)
        qWarning("no command %s", qPrintable(name));
    return label;
}

void TestHost::click(const QString& name) const
{
    if (CommandLabel* label = command(name))
        QTest::mouseClick(label, Qt::LeftButton);
}
