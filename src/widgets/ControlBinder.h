#pragma once

#include "common/ControlStore.h"

#include <QObject>

class QAction;
class QWidget;

// Keeps widgets and menu entries in step with the control store, matching them by
// objectName: the store's changes show in the widgets, the operator's edits go to the store.
class ControlBinder final : public QObject {
    Q_OBJECT
public:
    ControlBinder(ControlStore& store, QObject* parent = nullptr);

    // Binds every named child of `root` that the store knows, and the given actions.
    void bindAll(QWidget* root, const QList<QAction*>& actions);

private:
    void bindWidget(QWidget* widget);
    void bindAction(QAction* action);
    void showAspect(QObject* target, ControlStore::Aspect aspect);
    void onStoreChanged(const QString& name, ControlStore::Aspect aspect);

    ControlStore& store_;
    QHash<QString, QObject*> bound_;
    bool updating_ = false; // set while the store's change is being shown
};
