#!/usr/bin/python3
"""Prints the panel's accessibility tree as screen readers get it over AT-SPI:
role, name, labelled-by relation, actions and the states that matter.
Run through tools/atspi_tree.sh, which starts the session it needs."""

import sys
import time

import pyatspi

SHOWN_STATES = (pyatspi.STATE_CHECKED, pyatspi.STATE_SELECTED, pyatspi.STATE_FOCUSABLE, pyatspi.STATE_SHOWING)
MAX_DEPTH = 8
TRIES = 50


def find_application(name):
    for _ in range(TRIES):
        for app in pyatspi.Registry.getDesktop(0):
            if app is not None and name.lower() in (app.name or '').lower():
                return app
        time.sleep(0.2)
    return None


def describe(acc):
    labels = []
    for relation in acc.getRelationSet():
        if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY:
            labels += [relation.getTarget(i).name for i in range(relation.getNTargets())]
    try:
        action = acc.queryAction()
        actions = [action.getName(i) for i in range(action.nActions)]
    except NotImplementedError:
        actions = []
    states = [pyatspi.stateToString(s) for s in acc.getState().getStates() if s in SHOWN_STATES]
    text = f'[{acc.getRoleName()}] {acc.name!r}'
    if labels:
        text += f' labelled-by={labels}'
    if actions:
        text += f' actions={actions}'
    return text + (f' ({", ".join(states)})' if states else '')


def dump(acc, depth=0):
    if acc is None or depth > MAX_DEPTH:
        return
    print('  ' * depth + describe(acc))
    for child in acc:
        dump(child, depth + 1)


def main():
    app = find_application(sys.argv[1] if len(sys.argv) > 1 else 'Velmora')
    if app is None:
        print('the application did not appear on the accessibility bus', file=sys.stderr)
        return 1
    dump(app)
    return 0


if __name__ == '__main__':
    sys.exit(main())
