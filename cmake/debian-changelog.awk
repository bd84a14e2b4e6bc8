# Writes CHANGELOG.md as a Debian changelog, as a Debian system keeps it:
#   awk -v package=NAME -v maintainer="NAME <ADDRESS>" -f debian-changelog.awk CHANGELOG.md
# Each "## VERSION — YYYY-MM-DD" section is an entry; in it "### Heading"
# becomes "[ Heading ]", "- item" becomes "* item", and the item's following
# indented lines stay under it. Text before the first section is left out.

function day_of_entry(day,    command, stamp) {
    command = "date -u -R -d " day
    command | getline stamp
    close(command)
    return stamp
}

function end_entry() {
    if (version != "") {
        printf "\n -- %s  %s\n", maintainer, day_of_entry(day)
    }
}

/^## / {
    end_entry()
    if (version != "") {
        print ""
    }
    version = $2
    day = $NF
    printf "%s (%s) unstable; urgency=medium\n", package, version
    gap = 1
    next
}

version == "" { next }

/^[ \t]*$/ { gap = 1; next }

{
    if (gap) {
        print ""
        gap = 0
    }
    if (sub(/^### /, "")) {
        print "  [ " $0 " ]"
    } else if (sub(/^- /, "")) {
        print "  * " $0
    } else if (sub(/^[ \t]+/, "")) {
        print "    " $0
    } else {
        print "  " $0
    }
}

END { end_entry() }
