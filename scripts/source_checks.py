"""What the source checks under scripts/ share: walking the tree's source
files and the command line, where the rules are first held to their own
samples (exit 2 if one fails them), then the tree is checked (exit 1 on any
problem, 0 when clean)."""
import os
import sys

SOURCE_SUFFIXES = ('.h', '.hpp', '.cpp', '.cc', '.inl', '.inc')


def source_files(root, folders):
    """(path relative to root with '/', full path) of every source file
    under the folders, in a stable order."""
    for top in folders:
        for folder, dirs, files in os.walk(os.path.join(root, top)):
            dirs.sort()
            for name in sorted(files):
                if name.endswith(SOURCE_SUFFIXES):
                    full = os.path.join(folder, name)
                    yield os.path.relpath(full, root).replace(os.sep, '/'), full


def run(argv, name, check_samples, check_tree, problem_summary):
    """The checks' command line: [--samples-only] [ROOT]."""
    args = argv[1:]
    samples_only = '--samples-only' in args
    args = [a for a in args if a != '--samples-only']
    root = args[0] if args else os.path.join(os.path.dirname(os.path.abspath(argv[0])), '..')

    failures = check_samples()
    if failures:
        print(f'{name}: a rule does not hold on its own samples:', file=sys.stderr)
        for failure in failures:
            print('  ' + failure, file=sys.stderr)
        return 2
    if samples_only:
        return 0

    problems = check_tree(root)
    for problem in problems:
        print(problem, file=sys.stderr)
    if problems:
        print(f'{name}: {len(problems)} {problem_summary}', file=sys.stderr)
        return 1
    return 0
